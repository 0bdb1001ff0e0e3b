#include "tests/platform/TestDialog.h"

#include "platform/Bitmap.h"
#include "platform/PaintDC.h"
#include "tests/platform/TestResources.h"

using namespace platform;

const MessageEntry TestDialog::kMessageMap[] = {
    WmSysCommand<&TestDialog::OnSysCommand>(),    WmPaint<&TestDialog::OnPaint>(),
    WmMouseMove<&TestDialog::OnMouseMove>(),      WmLButtonDown<&TestDialog::OnLButtonDown>(),
    WmRButtonDown<&TestDialog::OnRButtonDown>(),  WmDestroy<&TestDialog::OnDestroy>(),
    BnClicked<testres::kGo, &TestDialog::OnGo>(),
};

TestDialog::TestDialog() : CDialog(testres::kDialog) {}

std::span<const MessageEntry> TestDialog::GetMessageMap() const { return kMessageMap; }

void TestDialog::OnSysCommand(UINT nID, LPARAM lParam) {
    sysCommands.push_back(nID);
    if (passSysCommands) CDialog::OnSysCommand(nID, lParam);
}

void TestDialog::OnPaint() {
    ++paints;
    CPaintDC dc(this);
    CBitmap picture;
    picture.LoadBitmap(testres::kPicture);
    CDC memory;
    memory.CreateCompatibleDC(&dc);
    CBitmap* previous = memory.SelectObject(&picture);
    dc.BitBlt(0, 0, 640, 480, &memory, 0, 0, SRCCOPY);
    memory.SelectObject(previous);
    memory.DeleteDC();
    picture.DeleteObject();
}

void TestDialog::OnMouseMove(UINT nFlags, CPoint point) { mouse.push_back({WM_MOUSEMOVE, nFlags, point}); }
void TestDialog::OnLButtonDown(UINT nFlags, CPoint point) { mouse.push_back({WM_LBUTTONDOWN, nFlags, point}); }
void TestDialog::OnRButtonDown(UINT nFlags, CPoint point) { mouse.push_back({WM_RBUTTONDOWN, nFlags, point}); }
void TestDialog::OnDestroy() {
    ++destroys;
    CDialog::OnDestroy();
}
void TestDialog::OnGo() { ++goClicks; }
