// CCQvxGuiLampGroupCtrl: a grid of status lamps, one per bit of a polled
// register word. Only lamps whose state changed are painted again.
#pragma once

#include "QvxGuiControl.h"
#include "QvxGuiLampItem.h"
#include "platform/ui/MessageMap.h"
#include "platform/ui/Static.h"

class CCQvxGuiLampGroupCtrl : public CStatic, public CQvxGuiControl {
public:
    CCQvxGuiLampGroupCtrl() { m_name = "LampGroup"; }
    ~CCQvxGuiLampGroupCtrl() override;

    void StoreResponse(const CAmpResponseToGui& response) override;
    void ProcessResponses() override;
    CWnd* GetWnd() override { return this; }

    void AddLamp(DWORD mask, const char* onText, const char* offText, COLORREF onColour, COLORREF offColour,
                 COLORREF onTextColour, COLORREF offTextColour);
    int GetLampCount() const { return static_cast<int>(m_lamps.GetCount()); }
    CQvxGuiLampItem* GetLamp(int index) const;
    // The cell of a lamp in the client rectangle (below the title).
    RECT GetLampRect(int index) const;
    int GetLampState(int index);
    LONG GetValue() const { return m_value; }
    void SetTitle(const char* title) { m_title = title; }
    // Lamps painted since the control was made, for the tests of the redraw.
    int GetPaintedCount() const { return m_painted; }

    int m_columns = 1;

    void OnPaint();

private:
    void Redraw();
    int TitleHeight() const { return m_title.IsEmpty() ? 0 : 16; }

    CList<CQvxGuiLampItem*, CQvxGuiLampItem*> m_lamps;
    CString m_title;
    LONG m_value = 0;
    int m_painted = 0;

    DECLARE_MESSAGE_MAP()
};
