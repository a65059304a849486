#include "SliderCtrl.h"

#include <QPointer>
#include <QSlider>

#include "WndImpl.h"

struct CSliderCtrl::Impl {
    QPointer<QSlider> slider;
};

CSliderCtrl::~CSliderCtrl()
{
    if (GetSafeHwnd())
        DestroyWindow();
    delete m_slider;
}

BOOL CSliderCtrl::Create(DWORD style, const RECT& rect, CWnd* parent, UINT id)
{
    if (!CWnd::Create(nullptr, "", style | WS_CHILD, rect, parent, id))
        return FALSE;
    QWidget* host = GetImpl()->widget;
    m_slider = new Impl;
    auto* slider = new QSlider(Qt::Horizontal, host);
    slider->setGeometry(host->rect());
    slider->setTracking(true);
    m_slider->slider = slider;
    auto notify = [this](UINT code) {
        if (CWnd* owner = GetParent())
            owner->SendMessage(WM_HSCROLL, MAKEWPARAM(code, GetPos()), reinterpret_cast<LPARAM>(this));
    };
    QObject::connect(slider, &QSlider::sliderMoved, slider, [notify](int) { notify(TB_THUMBTRACK); });
    QObject::connect(slider, &QSlider::sliderReleased, slider, [notify]() { notify(TB_ENDTRACK); });
    slider->show();
    return TRUE;
}

void CSliderCtrl::SetRange(int minimum, int maximum, BOOL)
{
    if (m_slider && m_slider->slider)
        m_slider->slider->setRange(minimum, maximum);
}

int CSliderCtrl::GetRangeMin() const { return m_slider && m_slider->slider ? m_slider->slider->minimum() : 0; }
int CSliderCtrl::GetRangeMax() const { return m_slider && m_slider->slider ? m_slider->slider->maximum() : 0; }

void CSliderCtrl::SetPos(int position)
{
    if (m_slider && m_slider->slider && !m_slider->slider->isSliderDown())
        m_slider->slider->setValue(position);
}

int CSliderCtrl::GetPos() const { return m_slider && m_slider->slider ? m_slider->slider->value() : 0; }

BOOL CSliderCtrl::IsDragging() const { return m_slider && m_slider->slider && m_slider->slider->isSliderDown(); }

namespace kvtest {
void DragSlider(CSliderCtrl& slider, int position)
{
    CWndImpl* impl = slider.GetImpl();
    QSlider* q = impl && impl->widget ? impl->widget->findChild<QSlider*>() : nullptr;
    if (!q)
        return;
    q->setSliderDown(true);
    q->setSliderPosition(position);
    q->setSliderDown(false);
}
}  // namespace kvtest
