#include "app/DexlinDlg.h"

#include "geometry/GreatCircle.h"
#include "geometry/MapProjection.h"
#include "platform/Bitmap.h"
#include "platform/LocalTime.h"
#include "platform/Menu.h"
#include "platform/MessageBox.h"
#include "platform/PaintDC.h"
#include "platform/ResourceLookup.h"
#include "platform/WinApp.h"
#include "resources/resource.h"

using platform::BOOL;
using platform::CBitmap;
using platform::CDC;
using platform::CPaintDC;
using platform::CRect;
using platform::HCURSOR;
using platform::LPARAM;
using platform::MessageEntry;
using platform::UINT;

namespace {

// Readout font: an 18-pixel cell, medium weight, proof quality, roman family.
constexpr int kReadoutFontHeight = 18;
constexpr int kReadoutFontWeight = 500;
constexpr unsigned char kProofQuality = 2;
constexpr unsigned char kRomanFamily = 16;
constexpr const char* kReadoutFontFace = "Times New Roman";

constexpr platform::COLORREF kStartColour = 0x0000FFFF;  // yellow
constexpr platform::COLORREF kDestColour = 0x000000FF;   // red
constexpr int kMarkerRadius = 4;

// The block copied from the map picture (larger than the picture: the copy
// stops at its edges).
constexpr int kPictureCopyWidth = 640;
constexpr int kPictureCopyHeight = 480;

constexpr double kMonthsPerYear = 12.0;
constexpr double kDaysPerYear = 365.0;
constexpr int kTmYearBase = 1900;
constexpr const char* kYearRangeText = "This version of Dexlin only accepts years between 1995 and 2000.";
constexpr const char* kYearRangeCaption = "Year out of range.";

}  // namespace

const MessageEntry CDexlinDlg::kMessageMap[] = {
    platform::WmSysCommand<&CDexlinDlg::OnSysCommand>(),
    platform::WmPaint<&CDexlinDlg::OnPaint>(),
    platform::WmQueryDragIcon<&CDexlinDlg::OnQueryDragIcon>(),
    platform::WmDestroy<&CDexlinDlg::OnDestroy>(),
};

std::span<const MessageEntry> CDexlinDlg::GetMessageMap() const { return kMessageMap; }

CDexlinDlg::CDexlinDlg(platform::CDialog* pParent)
    : CDialog(IDD_MAIN, pParent),
      m_nMapLeft(geometry::kWorldMap.left),
      m_nMapTop(geometry::kWorldMap.top),
      m_nMapRight(geometry::kWorldMap.right),
      m_nMapBottom(geometry::kWorldMap.bottom),
      m_nMapOffset(geometry::kWorldMap.offset),
      m_nMarkerRadius(kMarkerRadius) {
    m_pReadoutFont = new platform::CFont;
    m_pReadoutFont->CreateFont(kReadoutFontHeight, 0, 0, 0, kReadoutFontWeight, 0, 0, 0, 0, 0, 0, kProofQuality,
                               kRomanFamily, kReadoutFontFace);
    m_brushStart.CreateSolidBrush(kStartColour);
    m_brushDest.CreateSolidBrush(kDestColour);
    m_bStartSet = m_bDestSet = m_bStartDrawn = m_bDestDrawn = platform::FALSE;
    SetUpModelYear();
    m_hIcon = platform::AfxGetApp() != nullptr ? platform::AfxGetApp()->LoadIcon(IDR_APPICON) : nullptr;
}

CDexlinDlg::~CDexlinDlg() {
    // The font normally goes with the window; a dialog never shown still owns it.
    delete m_pReadoutFont;
    m_brushStart.DeleteObject();
    m_brushDest.DeleteObject();
}

int CDexlinDlg::IsInsideMap(int x, int y) const {
    return geometry::IsInsideMap({m_nMapLeft, m_nMapTop, m_nMapRight, m_nMapBottom, m_nMapOffset}, x, y);
}

void CDexlinDlg::PixelToGeographic(int x, int y, double& latitude, double& longitude, std::string& text) const {
    geometry::PixelToGeographic({m_nMapLeft, m_nMapTop, m_nMapRight, m_nMapBottom, m_nMapOffset}, x, y, latitude,
                                longitude, text);
}

void CDexlinDlg::GreatCircleCourseDistance(double lat1, double lon1, double lat2, double lon2, double& course,
                                           double& distance) const {
    geometry::GreatCircleCourseDistance(lat1, lon1, lat2, lon2, course, distance);
}

void CDexlinDlg::SetUpModelYear() {
    const std::tm local = platform::GetLocalTime();
    const int year = local.tm_year + kTmYearBase;
    const int month = local.tm_mon + 1;
    const int day = local.tm_mday;
    m_dModelYear = year + month / kMonthsPerYear + day / kDaysPerYear;
    // The dialog opens either way; outside these years only the variation
    // readout stays off. No window exists yet, so the box has no owner.
    if (m_dModelYear < kFirstModelYear || m_dModelYear > kLastModelYear)
        platform::MessageBox(nullptr, kYearRangeText, kYearRangeCaption, platform::MB_OK | platform::MB_ICONEXCLAMATION);
}

void CDexlinDlg::DoDataExchange(platform::CDataExchange* pDX) { CDialog::DoDataExchange(pDX); }

BOOL CDexlinDlg::OnInitDialog() {
    CDialog::OnInitDialog();

    // The about entry at the end of the system menu.
    platform::CMenu* pSysMenu = GetSystemMenu(platform::FALSE);
    const std::string strAboutMenu = platform::LoadString(IDS_ABOUT_MENU);
    if (pSysMenu != nullptr && !strAboutMenu.empty()) {
        pSysMenu->AppendMenu(platform::MF_SEPARATOR);
        pSysMenu->AppendMenu(platform::MF_STRING, IDM_ABOUT, strAboutMenu.c_str());
    }

    SetIcon(m_hIcon, platform::ICON_BIG);
    SetIcon(m_hIcon, platform::ICON_SMALL);
    return platform::TRUE;  // focus to the first control that takes it
}

void CDexlinDlg::OnSysCommand(UINT nID, LPARAM lParam) {
    // Every system command gets the default processing (Close ends the
    // dialog); the about entry, IDM_ABOUT, is answered here once the about
    // box exists.
    CDialog::OnSysCommand(nID, lParam);
}

void CDexlinDlg::OnPaint() {
    CPaintDC dc(this);
    if (IsIconic()) {
        SendMessage(platform::WM_ICONERASEBKGND, reinterpret_cast<platform::WPARAM>(&dc), 0);
        const int cxIcon = platform::GetSystemMetrics(platform::SM_CXICON);
        const int cyIcon = platform::GetSystemMetrics(platform::SM_CYICON);
        CRect rect;
        GetClientRect(&rect);
        const int x = (rect.Width() - cxIcon + 1) / 2;
        const int y = (rect.Height() - cyIcon + 1) / 2;
        dc.DrawIcon(x, y, m_hIcon);
        return;
    }
    CDialog::OnPaint();
    // The map picture is loaded anew for every paint and freed after it.
    CBitmap bitmap;
    bitmap.LoadBitmap(IDB_WORLDMAP);
    CDC memDC;
    memDC.CreateCompatibleDC(&dc);
    CBitmap* pOldBitmap = memDC.SelectObject(&bitmap);
    dc.BitBlt(0, 0, kPictureCopyWidth, kPictureCopyHeight, &memDC, 0, 0, platform::SRCCOPY);
    memDC.SelectObject(pOldBitmap);
    memDC.DeleteDC();
    bitmap.DeleteObject();
}

HCURSOR CDexlinDlg::OnQueryDragIcon() { return m_hIcon; }

void CDexlinDlg::OnDestroy() {
    CDialog::OnDestroy();
    m_brushStart.DeleteObject();
    m_brushDest.DeleteObject();
    delete m_pReadoutFont;
    m_pReadoutFont = nullptr;
}
