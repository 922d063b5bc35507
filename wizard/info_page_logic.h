// The information page: the install description's text, and Next only.
#pragma once

#include "wizard/page_logic.h"

class CInfoPageLogic : public CPageLogic {
public:
    using CPageLogic::CPageLogic;

    void OnInitDialog();
    void OnSetActive();
};
