#include "app/DexlinDlg.h"

#include <algorithm>

#include "app/AboutDlg.h"
#include "app/ModelText.h"
#include "geometry/GreatCircle.h"
#include "geometry/MapProjection.h"
#include "model/MagneticModel.h"
#include "model/VariationText.h"
#include "platform/Bitmap.h"
#include "platform/ClientDC.h"
#include "platform/LocalTime.h"
#include "platform/Menu.h"
#include "platform/MessageBox.h"
#include "platform/PaintDC.h"
#include "platform/ResourceLookup.h"
#include "platform/WinApp.h"
#include "resources/resource.h"

using platform::BOOL;
using platform::CBitmap;
using platform::CClientDC;
using platform::CDC;
using platform::CPaintDC;
using platform::CPoint;
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

constexpr platform::COLORREF kReadoutBackground = platform::RGB(255, 255, 255);

constexpr double kMonthsPerYear = 12.0;
constexpr double kDaysPerYear = 365.0;
constexpr int kTmYearBase = 1900;
constexpr const char* kYearRangeCaption = "Year out of range.";

// The low four bits of a system command are the platform's own.
constexpr UINT kSysCommandMask = 0xFFF0;

}  // namespace

const MessageEntry CDexlinDlg::kMessageMap[] = {
    platform::WmSysCommand<&CDexlinDlg::OnSysCommand>(),
    platform::WmPaint<&CDexlinDlg::OnPaint>(),
    platform::WmQueryDragIcon<&CDexlinDlg::OnQueryDragIcon>(),
    platform::WmLButtonDown<&CDexlinDlg::OnLButtonDown>(),
    platform::WmRButtonDown<&CDexlinDlg::OnRButtonDown>(),
    platform::WmMouseMove<&CDexlinDlg::OnMouseMove>(),
    platform::WmDestroy<&CDexlinDlg::OnDestroy>(),
    platform::BnClicked<IDC_ABOUT, &CDexlinDlg::OnAbout>(),
};

std::span<const MessageEntry> CDexlinDlg::GetMessageMap() const { return kMessageMap; }

// The panel's two columns and three rows. Digits share one width in the
// readout font; N and W are the wider letters of their pairs.
const CDexlinDlg::Readout CDexlinDlg::kCursorReadout{135, 8, 25, " 00\xB0 N   000\xB0 W"};
const CDexlinDlg::Readout CDexlinDlg::kVariationReadout{355, 8, 21, "0000\xB0 00.0' W"};
const CDexlinDlg::Readout CDexlinDlg::kStartReadout{135, 31, 25, " 00\xB0 N   000\xB0 W"};
const CDexlinDlg::Readout CDexlinDlg::kCourseReadout{355, 31, 9, "000\xB0"};
const CDexlinDlg::Readout CDexlinDlg::kDestReadout{135, 54, 25, " 00\xB0 N   000\xB0 W"};
const CDexlinDlg::Readout CDexlinDlg::kDistanceReadout{355, 54, 9, "00000"};

CDexlinDlg::CDexlinDlg(platform::CDialog* pParent, const model::FieldModel* pFieldModel)
    : CDialog(IDD_MAIN, pParent),
      m_pFieldModel(pFieldModel != nullptr ? pFieldModel : &model::ReferenceField1995()),
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
    m_hIcon = platform::GetApp() != nullptr ? platform::GetApp()->LoadIcon(IDR_APPICON) : nullptr;
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
    if (m_dModelYear < m_pFieldModel->firstYear || m_dModelYear > m_pFieldModel->lastYear)
        platform::MessageBox(nullptr, YearRangeText(*m_pFieldModel).c_str(), kYearRangeCaption,
                             platform::MB_OK | platform::MB_ICONEXCLAMATION);
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
    // The about entry opens the about box; every other system command gets
    // the default processing (Close ends the dialog).
    if ((nID & kSysCommandMask) == static_cast<UINT>(IDM_ABOUT))
        OnAbout();
    else
        CDialog::OnSysCommand(nID, lParam);
}

void CDexlinDlg::OnAbout() {
    // A fresh box each time; what ended it does not matter.
    CAboutDlg dlgAbout(m_pFieldModel);
    dlgAbout.DoModal();
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

void CDexlinDlg::OnMouseMove(UINT nFlags, CPoint point) {
    if (!IsInsideMap(point.x, point.y)) return;  // off the map: dropped, the readouts keep their text
    double latitude = 0.0;
    double longitude = 0.0;
    std::string position;
    PixelToGeographic(point.x, point.y, latitude, longitude, position);

    CClientDC dc(this);
    dc.SetBkColor(kReadoutBackground);
    dc.SelectObject(m_pReadoutFont);
    ShowReadout(dc, kCursorReadout, " " + position);

    // The model serves only the years strictly inside its range; the 1995.0
    // reference field through its own query, any other model at height 0.
    if (m_dModelYear > m_pFieldModel->firstYear && m_dModelYear < m_pFieldModel->lastYear) {
        model::MagneticElements elements{};
        const int status =
            IsReferenceField1995(*m_pFieldModel)
                ? model::ComputeMagneticElements(latitude, longitude, m_dModelYear, elements)
                : model::ComputeMagneticElements(*m_pFieldModel, latitude, longitude, 0.0, m_dModelYear, elements);
        // A position or date the model gives no record for shows no variation.
        if (status == model::kStatusOk) {
            ShowReadout(dc, kVariationReadout,
                        model::FormatVariation(elements.declinationDegrees, elements.declinationMinutes));
        }
    }
    CDialog::OnMouseMove(nFlags, point);
}

void CDexlinDlg::OnLButtonDown(UINT nFlags, CPoint point) {
    if (!IsInsideMap(point.x, point.y)) return;  // off the map: dropped whole
    CClientDC dc(this);
    ChooseRouteEnd(dc, point,
                   {m_brushStart, m_ptStartMarker, m_bStartDrawn, m_bStartSet, m_dStartLat, m_dStartLon, kStartReadout,
                    m_bDestSet, m_brushDest, m_ptDestMarker, m_bDestDrawn});
    CDialog::OnLButtonDown(nFlags, point);
}

void CDexlinDlg::OnRButtonDown(UINT nFlags, CPoint point) {
    if (!IsInsideMap(point.x, point.y)) return;  // off the map: dropped whole
    CClientDC dc(this);
    ChooseRouteEnd(dc, point,
                   {m_brushDest, m_ptDestMarker, m_bDestDrawn, m_bDestSet, m_dDestLat, m_dDestLon, kDestReadout,
                    m_bStartSet, m_brushStart, m_ptStartMarker, m_bStartDrawn});
    CDialog::OnRButtonDown(nFlags, point);
}

void CDexlinDlg::ChooseRouteEnd(CDC& dc, CPoint point, const RouteEnd& end) {
    dc.SetBkColor(kReadoutBackground);
    dc.SelectObject(m_pReadoutFont);

    // The old marker's square gets the map picture back before the new marker
    // is drawn, so a new marker on or next to the old one stays whole.
    const int r = m_nMarkerRadius;
    if (end.bDrawn) {
        const CRect old{end.ptMarker.x - r, end.ptMarker.y - r, end.ptMarker.x + r, end.ptMarker.y + r};
        InvalidateRect(&old, platform::FALSE);
        UpdateWindow();
        // The restored picture may have cut into the other end's marker, which
        // still marks a chosen point: it is drawn again. Outside the restored
        // square its pixels are that marker's already (an aliased circle
        // drawn over itself), so only the cut part changes.
        const CPoint other = end.ptOtherMarker;
        const bool meets =
            other.x - r < old.right && old.left < other.x + r && other.y - r < old.bottom && old.top < other.y + r;
        if (end.bOtherDrawn && meets) {
            dc.SelectObject(&end.otherBrush);
            dc.Ellipse(other.x - r, other.y - r, other.x + r, other.y + r);
        }
    }
    dc.SelectObject(&end.brush);
    dc.Ellipse(point.x - r, point.y - r, point.x + r, point.y + r);

    std::string position;
    PixelToGeographic(point.x, point.y, end.dLat, end.dLon, position);
    ShowReadout(dc, end.readout, " " + position);

    end.ptMarker = point;
    end.bDrawn = platform::TRUE;
    end.bSet = platform::TRUE;
    if (end.bOtherSet) ShowCourseAndDistance(dc);
}

void CDexlinDlg::ShowReadout(CDC& dc, const Readout& readout, const std::string& text) {
    // Where the font draws the box's widest text wider than its spaces, the
    // blank gets more of them, so no piece of a longer earlier text stays
    // (a 5-digit distance would leave half a digit after "2124").
    const int space = dc.GetTextExtent(" ", 1).cx;
    const int widest = dc.GetTextExtent(readout.pszWidest).cx;
    const int nBlank = std::max(readout.nBlank, space > 0 ? (widest + space - 1) / space : 0);
    const int y = m_nMapBottom + readout.nBelowMap;
    dc.TextOut(readout.x, y, std::string(static_cast<std::size_t>(nBlank), ' '));
    dc.TextOut(readout.x, y, text);
}

void CDexlinDlg::ShowCourseAndDistance(CDC& dc) {
    // Always from the start to the destination, whichever end was just chosen.
    double course = 0.0;
    double distance = 0.0;
    GreatCircleCourseDistance(m_dStartLat, m_dStartLon, m_dDestLat, m_dDestLon, course, distance);
    ShowReadout(dc, kCourseReadout, geometry::FormatCourse(course));
    ShowReadout(dc, kDistanceReadout, geometry::FormatDistance(distance));
}
