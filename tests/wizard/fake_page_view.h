// A page's window as a record: the texts by id, the combo and list entries,
// the selections and the wizard buttons last sent. Setting an edit's text
// runs the page's change handler, as the real edit's notification does.
#pragma once

#include <functional>
#include <map>
#include <string>
#include <vector>

#include "wizard/page_view.h"

class FakePageView : public IPageView {
public:
    void SetWizardButtons(DWORD dwFlags) override { m_dwButtons = dwFlags; }
    void SetItemText(int nId, const std::string& strText) override
    {
        m_texts[nId] = strText;
        if (m_onEditChange)
            m_onEditChange(nId);
    }
    std::string GetItemText(int nId) const override
    {
        auto it = m_texts.find(nId);
        return it != m_texts.end() ? it->second : std::string();
    }
    void InsertItem(int nId, int nIndex, const std::string& strText) override
    {
        std::vector<std::string>& items = m_items[nId];
        items.insert(items.begin() + nIndex, strText);
    }
    void SelectItem(int nId, int nIndex) override { m_selected[nId] = nIndex; }
    int GetSelectedItem(int nId) const override
    {
        auto it = m_selected.find(nId);
        return it != m_selected.end() ? it->second : -1;
    }
    void EndCancelled() override { ++m_nEnded; }

    DWORD m_dwButtons = 0;
    std::map<int, std::string> m_texts;
    std::map<int, std::vector<std::string>> m_items;
    std::map<int, int> m_selected;
    int m_nEnded = 0;
    std::function<void(int)> m_onEditChange;
};
