// Process-wide cache of owned objects keyed by name and scale, shared by every editor of the process.
#pragma once

#include <cstdint>
#include <cstdio>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

namespace plugkit::gfx {

// Main thread. Every access goes through an Accessor, which holds the recursive lock for its
// lifetime, so a lookup followed by a load and an Add is one atomic step. The last Release empties it.
template <class T>
class StaticStorage
{
public:
  class Accessor
  {
  public:
    explicit Accessor(StaticStorage& storage)
      : mStorage(storage)
      , mLock(storage.mMutex)
    {}

    // The object stored under exactly (name, scale), or null.
    T* Find(const char* name, double scale = 1.0) const
    {
      const uint64_t hash = KeyHash(name, scale);
      for (const Entry& e : mStorage.mEntries)
        if (e.hash == hash && e.scale == scale && e.name == name)
          return e.data.get();
      return nullptr;
    }

    // Takes ownership of data.
    void Add(T* data, const char* name, double scale = 1.0)
    {
      mStorage.mEntries.push_back(Entry{KeyHash(name, scale), name, scale, std::unique_ptr<T>(data)});
    }

    // Deletes the first entry holding data (and data with it).
    void Remove(T* data)
    {
      for (auto it = mStorage.mEntries.begin(); it != mStorage.mEntries.end(); ++it)
        if (it->data.get() == data)
        {
          mStorage.mEntries.erase(it);
          return;
        }
    }

    void Clear() { mStorage.Clear(); }
    void Retain() { ++mStorage.mCount; }
    void Release()
    {
      if (--mStorage.mCount == 0)
        Clear();
    }

    int Size() const { return static_cast<int>(mStorage.mEntries.size()); }
    int Users() const { return mStorage.mCount; }

    template <class F>
    void ForEach(F&& func) const
    {
      for (const Entry& e : mStorage.mEntries)
        func(*e.data, e.name.c_str(), e.scale);
    }

  private:
    StaticStorage& mStorage;
    std::lock_guard<std::recursive_mutex> mLock;
  };

  StaticStorage() = default;
  StaticStorage(const StaticStorage&) = delete;
  StaticStorage& operator=(const StaticStorage&) = delete;
  ~StaticStorage() { Clear(); }

  // The key text is the name followed by the scale as "-2.0x"; the hash only skips entries quickly.
  static uint64_t KeyHash(const char* name, double scale)
  {
    char suffix[48];
    std::snprintf(suffix, sizeof(suffix), "-%.1fx", scale);
    std::string key(name ? name : "");
    key += suffix;
    return std::hash<std::string_view>{}(key);
  }

private:
  struct Entry
  {
    uint64_t hash;
    std::string name;
    double scale;
    std::unique_ptr<T> data;
  };

  // Last added first, as the objects may refer to earlier ones.
  void Clear()
  {
    while (!mEntries.empty())
      mEntries.pop_back();
  }

  std::recursive_mutex mMutex;
  int mCount = 0;
  std::vector<Entry> mEntries;
};

} // namespace plugkit::gfx
