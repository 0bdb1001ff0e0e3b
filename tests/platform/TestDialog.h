// A dialog over the layer that records the messages its table receives and
// paints the test picture.
#pragma once

#include <span>
#include <vector>

#include "platform/Dialog.h"

class TestDialog : public platform::CDialog {
public:
    TestDialog();

    struct Mouse {
        platform::UINT message;
        platform::UINT flags;
        platform::CPoint point;
    };
    std::vector<platform::UINT> sysCommands;
    std::vector<Mouse> mouse;
    int paints = 0;
    int destroys = 0;
    int goClicks = 0;
    bool passSysCommands = true;

    using platform::CDialog::DefWindowProc;

protected:
    std::span<const platform::MessageEntry> GetMessageMap() const override;

private:
    void OnSysCommand(platform::UINT nID, platform::LPARAM lParam);
    void OnPaint();
    void OnMouseMove(platform::UINT nFlags, platform::CPoint point);
    void OnLButtonDown(platform::UINT nFlags, platform::CPoint point);
    void OnRButtonDown(platform::UINT nFlags, platform::CPoint point);
    void OnDestroy();
    void OnGo();

    static const platform::MessageEntry kMessageMap[];
};
