#include "tests/host/value_keeping_host.h"

#include "pluginterfaces/vst/ivsteditcontroller.h"

namespace vemlor::testhost {

using namespace Steinberg;
using namespace Steinberg::Vst;

ValueKeepingHost::ValueKeepingHost(Host& host, Plugin& plugin, int32 paramCount, OnReread onReread)
  : host(host)
  , plugin(plugin)
  , onReread(onReread)
  , values(static_cast<std::size_t>(paramCount))
  , pending(static_cast<std::size_t>(paramCount), false)
  , touched(static_cast<std::size_t>(paramCount), false)
  , callsSeen(host.handler().calls().size())
{
  for (std::size_t id = 0; id < values.size(); ++id)
    values[id] = static_cast<float>(plugin.controller()->getParamNormalized(static_cast<ParamID>(id)));
  host.handler().whileRestarting = [this](int32 flags) {
    if ((flags & kParamValuesChanged) || this->onReread == OnReread::kRoundTripStateOnAnyRestart)
      reread();
  };
}

ValueKeepingHost::~ValueKeepingHost() { host.handler().whileRestarting = nullptr; }

void ValueKeepingHost::takeEdits()
{
  const std::vector<HandlerCall>& calls = host.handler().calls();
  for (; callsSeen < calls.size(); ++callsSeen)
  {
    const HandlerCall& call = calls[callsSeen];
    if (call.kind == HandlerCall::Kind::PerformEdit && call.id < values.size())
    {
      values[call.id] = static_cast<float>(call.value);
      pending[call.id] = true;
      touched[call.id] = true;
    }
  }
}

void ValueKeepingHost::set(ParamID id, double normalized)
{
  takeEdits();
  values.at(id) = static_cast<float>(normalized);
  pending.at(id) = true;
  touched.at(id) = true;
  plugin.controller()->setParamNormalized(id, values[id]);
}

float ValueKeepingHost::value(ParamID id)
{
  takeEdits();
  return values.at(id);
}

void ValueKeepingHost::queueChanges()
{
  takeEdits();
  for (std::size_t id = 0; id < values.size(); ++id)
  {
    if (!pending[id])
      continue;
    pending[id] = false;
    plugin.addParameterChange(static_cast<ParamID>(id), 0, values[id]);
  }
}

void ValueKeepingHost::reread()
{
  ++rereadCount;
  takeEdits();
  const bool roundTrip = onReread != OnReread::kReadValues;
  if (roundTrip)
  {
    const std::optional<std::vector<uint8_t>> state = plugin.getState();
    if (state)
      plugin.setState(*state);
  }
  for (std::size_t id = 0; id < values.size(); ++id)
    values[id] = static_cast<float>(plugin.controller()->getParamNormalized(static_cast<ParamID>(id)));
  if (!roundTrip)
    return;
  for (std::size_t id = 0; id < values.size(); ++id)
  {
    plugin.controller()->setParamNormalized(static_cast<ParamID>(id), values[id]);
    plugin.addParameterChange(static_cast<ParamID>(id), 0, values[id]);
  }
  takeEdits();
  touched.assign(touched.size(), false);
}

ValueKeepingHost::Session ValueKeepingHost::save()
{
  takeEdits();
  Session session;
  for (std::size_t id = 0; id < values.size(); ++id)
  {
    if (!touched[id])
      continue;
    values[id] = static_cast<float>(plugin.controller()->getParamNormalized(static_cast<ParamID>(id)));
    session.values.emplace_back(static_cast<ParamID>(id), values[id]);
  }
  session.state = plugin.getState().value_or(std::vector<uint8_t>{});
  return session;
}

bool ValueKeepingHost::open(const Session& session)
{
  const bool restored = plugin.setState(session.state);
  takeEdits();
  touched.assign(touched.size(), false);
  for (const auto& [id, value] : session.values)
    set(id, value);
  return restored;
}

} // namespace vemlor::testhost
