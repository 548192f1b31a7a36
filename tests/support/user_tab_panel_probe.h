// The user tab panel's private state as tests read it.
#pragma once

#include "utils/user_tab/user_tab_panel.h"

namespace zarvo::ui {

struct UserTabPanelTestProbe
{
  explicit UserTabPanelTestProbe(UserTabPanel& panel)
    : idToToken(panel.idToToken)
    , tokenToId(panel.tokenToId)
  {}

  UserTabPanel::IdToToken& idToToken;
  UserTabPanel::TokenToId& tokenToId;
};

} // namespace zarvo::ui
