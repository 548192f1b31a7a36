// The "text/uri-list" of a file drop to local paths.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace plugkit::gfx {

// Local paths of the list's file URIs, in list order. Comment lines, blank lines, other schemes,
// other hosts and entries whose escapes decode to a NUL or are not valid are skipped.
std::vector<std::string> ParseUriList(std::string_view list);

} // namespace plugkit::gfx
