#include "app/DexlinDlg.h"

#include <algorithm>

#include "app/AboutDlg.h"
#include "app/ModelText.h"
#include "geometry/GreatCircle.h"
#include "geometry/MapProjection.h"
#include "model/MagneticModel.h"
#include "model/ModelDate.h"
#include "model/VariationText.h"
#include "platform/Bitmap.h"
#include "platform/ClientDC.h"
#include "platform/LocalTime.h"
#include "platform/Menu.h"
#include "platform/MessageBox.h"
#include "platform/PaintDC.h"
#include "platform/Region.h"
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

constexpr int kTmYearBase = 1900;
constexpr const char* kYearRangeCaption = "Year out of range.";
constexpr std::string_view kTitleName = "Dexlin.";

// The low four bits of a system command are the platform's own.
constexpr UINT kSysCommandMask = 0xFFF0;

// The keyboard's point moves one pixel per arrow key, ten with Shift.
constexpr int kKeyStep = 1;
constexpr int kShiftKeyStep = 10;

constexpr const char* kMapName = "World map";
constexpr const char* kMapDescription =
    "Move the pointer, or the arrow keys (Shift for ten pixels, Home for the centre), to read the position and "
    "magnetic variation; left click, Space or S chooses the start, right click, D or Shift+Space the destination.";

// A readout's text as a listener hears it: without the spaces that place it in its box.
std::string Trimmed(const std::string& text) {
    const std::size_t first = text.find_first_not_of(' ');
    if (first == std::string::npos) return std::string();
    return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

// A readout's text as spoken: trimmed, and the spaces that align its columns one space.
std::string Spoken(const std::string& text) {
    std::string out;
    for (const char c : Trimmed(text))
        if (c != ' ' || out.empty() || out.back() != ' ') out += c;
    return out;
}

// What a listener hears of the map (in the readouts' Latin-1): the names go
// before the values, and the distance says its unit.
constexpr const char* kSayVariation = ", variation ";
constexpr const char* kSayStart = "start ";
constexpr const char* kSayDestination = "destination ";
constexpr const char* kSayCourse = ", course ";
constexpr const char* kSayDistance = ", distance ";
constexpr const char* kSayDistanceUnit = " nautical miles";

// The unit label the map picture paints right of the distance box, for assistive technology.
constexpr int kMilesRegion = 8;
constexpr const char* kMilesLabel = "(miles)";
constexpr CRect kMilesLabelRect{405, 435, 445, 448};

}  // namespace

const MessageEntry CDexlinDlg::kMessageMap[] = {
    platform::WmSysCommand<&CDexlinDlg::OnSysCommand>(),
    platform::WmPaint<&CDexlinDlg::OnPaint>(),
    platform::WmQueryDragIcon<&CDexlinDlg::OnQueryDragIcon>(),
    platform::WmLButtonDown<&CDexlinDlg::OnLButtonDown>(),
    platform::WmRButtonDown<&CDexlinDlg::OnRButtonDown>(),
    platform::WmMouseMove<&CDexlinDlg::OnMouseMove>(),
    platform::WmDestroy<&CDexlinDlg::OnDestroy>(),
    platform::WmKeyDown<&CDexlinDlg::OnKeyDown>(),
    platform::WmSetFocus<&CDexlinDlg::OnSetFocus>(),
    platform::BnClicked<IDC_ABOUT, &CDexlinDlg::OnAbout>(),
};

std::span<const MessageEntry> CDexlinDlg::GetMessageMap() const { return kMessageMap; }

// The panel's two columns and three rows. Digits share one width in the
// readout font; N and W are the wider letters of their pairs.
// Their names are the labels the map picture paints beside them.
const CDexlinDlg::Readout CDexlinDlg::kCursorReadout{135, 8, 25, " 00\xB0 N   000\xB0 W", 2, "Cursor position"};
const CDexlinDlg::Readout CDexlinDlg::kVariationReadout{355, 8, 21, "0000\xB0 00.0' W", 3, "Mag. Variation"};
const CDexlinDlg::Readout CDexlinDlg::kStartReadout{135, 31, 25, " 00\xB0 N   000\xB0 W", 4, "Start position"};
const CDexlinDlg::Readout CDexlinDlg::kCourseReadout{355, 31, 9, "000\xB0", 5, "Great circle bearing"};
const CDexlinDlg::Readout CDexlinDlg::kDestReadout{135, 54, 25, " 00\xB0 N   000\xB0 W", 6, "Destination"};
const CDexlinDlg::Readout CDexlinDlg::kDistanceReadout{355, 54, 9, "00000", 7, "Distance"};

CDexlinDlg::CDexlinDlg(platform::CDialog* pParent, const model::FieldModel* pFieldModel)
    : CDialog(IDD_MAIN, pParent),
      m_pFieldModel(pFieldModel != nullptr ? pFieldModel : &model::ReferenceField1995()),
      m_bModelChosen(pFieldModel != nullptr),
      m_nMapLeft(geometry::kWorldMap.left),
      m_nMapTop(geometry::kWorldMap.top),
      m_nMapRight(geometry::kWorldMap.right),
      m_nMapBottom(geometry::kWorldMap.bottom),
      m_nMapOffset(geometry::kWorldMap.offset),
      m_nMarkerRadius(kMarkerRadius),
      m_ptKeyboard(MapCentre()) {
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
    // The program's own day count on its own field; a chosen model's count otherwise.
    const auto count = m_bModelChosen ? model::DecimalYear : model::ModelYear;
    m_dModelYear = count(local.tm_year + kTmYearBase, local.tm_mon + 1, local.tm_mday);
    // The dialog opens either way; outside these years only the variation
    // readout stays off. No window exists yet, so the box has no owner.
    if (!model::CoversYear(*m_pFieldModel, m_dModelYear))
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

    // A chosen model is named in the title: "Dexlin (WMM2025)." for "Dexlin.".
    std::string title = GetWindowText();
    if (m_bModelChosen && title.starts_with(kTitleName)) {
        title.insert(kTitleName.size() - 1, " (" + ModelTitleName(*m_pFieldModel, m_dModelYear) + ")");
        SetWindowText(title.c_str());
    }

    // The map and the readout boxes, for assistive technology; the map is
    // also the keyboard's (after the buttons in the Tab order).
    const int o = m_nMapOffset;  // client point of the map's pixel (0, 0)
    AddRegion({kMapRegion, kMapName, kMapDescription, platform::RegionRole::Graphic,
               CRect{m_nMapLeft + o, m_nMapTop + o, m_nMapRight + 1 + o, m_nMapBottom + 1 + o}});
    SetRegionPointer(kMapRegion, m_ptKeyboard);
    CClientDC dc(this);
    dc.SelectObject(m_pReadoutFont);
    const int space = dc.GetTextExtent(" ", 1).cx;
    const int cell = dc.GetTextExtent(" ", 1).cy;
    for (const Readout* readout :
         {&kCursorReadout, &kVariationReadout, &kStartReadout, &kCourseReadout, &kDestReadout, &kDistanceReadout}) {
        const int width = std::max(readout->nBlank * space, dc.GetTextExtent(readout->pszWidest).cx);
        const int y = m_nMapBottom + readout->nBelowMap;
        AddRegion({readout->nRegion, readout->pszName, "", platform::RegionRole::Text,
                   CRect{readout->x, y, readout->x + width, y + cell}});
    }
    AddRegion({kMilesRegion, kMilesLabel, "", platform::RegionRole::Text, kMilesLabelRect});
    SetRegionText(kMilesRegion, kMilesLabel);
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
    m_ptKeyboard = point;                        // the keyboard goes on from where the pointer is
    SetRegionPointer(kMapRegion, point);
    double latitude = 0.0;
    double longitude = 0.0;
    std::string position;
    PixelToGeographic(point.x, point.y, latitude, longitude, position);

    CClientDC dc(this);
    dc.SetBkColor(kReadoutBackground);
    dc.SelectObject(m_pReadoutFont);
    ShowReadout(dc, kCursorReadout, " " + position);
    std::string sentence = Spoken(position);

    // The variation gate: the program's own field only strictly inside its
    // years, as it always was; a chosen model within its years, both ends
    // included. The 1995.0 reference field through its own query, any other
    // model at height 0.
    if (model::CoversYear(*m_pFieldModel, m_dModelYear,
                          m_bModelChosen ? model::YearEnds::Included : model::YearEnds::Excluded)) {
        model::MagneticElements elements{};
        const int status =
            IsReferenceField1995(*m_pFieldModel)
                ? model::ComputeMagneticElements(latitude, longitude, m_dModelYear, elements)
                : model::ComputeMagneticElements(*m_pFieldModel, latitude, longitude, 0.0, m_dModelYear, elements);
        // A position or date the model gives no record for (an undetermined
        // direction) shows no variation, not the last one's.
        std::string variation;
        if (status == model::kStatusOk) {
            variation = model::FormatVariation(elements.declinationDegrees, elements.declinationMinutes);
            sentence += kSayVariation + Spoken(variation);
        }
        ShowReadout(dc, kVariationReadout, variation);
    }
    SayOnMap(sentence, m_bByKey);
    CDialog::OnMouseMove(nFlags, point);
}

void CDexlinDlg::OnLButtonDown(UINT nFlags, CPoint point) {
    if (!IsInsideMap(point.x, point.y)) return;  // off the map: dropped whole
    CClientDC dc(this);
    ChooseRouteEnd(dc, point,
                   {m_brushStart, m_ptStartMarker, m_bStartDrawn, m_bStartSet, m_dStartLat, m_dStartLon, kStartReadout,
                    kSayStart, m_bDestSet, m_brushDest, m_ptDestMarker, m_bDestDrawn});
    CDialog::OnLButtonDown(nFlags, point);
}

void CDexlinDlg::OnRButtonDown(UINT nFlags, CPoint point) {
    if (!IsInsideMap(point.x, point.y)) return;  // off the map: dropped whole
    CClientDC dc(this);
    ChooseRouteEnd(dc, point,
                   {m_brushDest, m_ptDestMarker, m_bDestDrawn, m_bDestSet, m_dDestLat, m_dDestLon, kDestReadout,
                    kSayDestination, m_bStartSet, m_brushStart, m_ptStartMarker, m_bStartDrawn});
    CDialog::OnRButtonDown(nFlags, point);
}

CPoint CDexlinDlg::MapCentre() const {
    return {(m_nMapLeft + m_nMapRight) / 2 + m_nMapOffset, (m_nMapTop + m_nMapBottom) / 2 + m_nMapOffset};
}

void CDexlinDlg::OnKeyDown(UINT nChar, UINT nFlags) {
    const bool shift = (nFlags & platform::MK_SHIFT) != 0;
    const int step = shift ? kShiftKeyStep : kKeyStep;
    CPoint point = m_ptKeyboard;
    UINT message = platform::WM_MOUSEMOVE;
    switch (nChar) {
    case platform::VK_LEFT: point.x -= step; break;
    case platform::VK_RIGHT: point.x += step; break;
    case platform::VK_UP: point.y -= step; break;
    case platform::VK_DOWN: point.y += step; break;
    case platform::VK_HOME: point = MapCentre(); break;
    case platform::VK_SPACE: message = shift ? platform::WM_RBUTTONDOWN : platform::WM_LBUTTONDOWN; break;
    case 'S': message = platform::WM_LBUTTONDOWN; break;
    case 'D': message = platform::WM_RBUTTONDOWN; break;
    default: return;
    }
    // The point stops at the map's edges, which are on the map.
    point.x = std::clamp(point.x, m_nMapLeft + m_nMapOffset, m_nMapRight + m_nMapOffset);
    point.y = std::clamp(point.y, m_nMapTop + m_nMapOffset, m_nMapBottom + m_nMapOffset);
    m_ptKeyboard = point;
    SetRegionPointer(kMapRegion, point);
    // The same road as the pointer's events: the message table and its handlers.
    m_bByKey = true;
    SendMessage(message, 0, platform::MAKELPARAM(point.x, point.y));
    m_bByKey = false;
}

void CDexlinDlg::OnSetFocus(int nRegion) {
    if (nRegion != kMapRegion) return;
    m_bByKey = true;
    SendMessage(platform::WM_MOUSEMOVE, 0, platform::MAKELPARAM(m_ptKeyboard.x, m_ptKeyboard.y));
    m_bByKey = false;
}

void CDexlinDlg::SayOnMap(const std::string& sentence, bool always) {
    // Said only to a listener on the map: the pointer elsewhere stays quiet.
    if (!RegionHasFocus(kMapRegion) || (!always && sentence == m_strSaid)) return;
    m_strSaid = sentence;
    SetRegionStatus(kMapRegion, sentence);
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
    std::string sentence = end.pszSaid + Spoken(position);
    if (end.bOtherSet) sentence += ShowCourseAndDistance(dc);
    SayOnMap(sentence, true);
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
    SetRegionText(readout.nRegion, Trimmed(text));
}

std::string CDexlinDlg::ShowCourseAndDistance(CDC& dc) {
    // Always from the start to the destination, whichever end was just chosen.
    double course = 0.0;
    double distance = 0.0;
    GreatCircleCourseDistance(m_dStartLat, m_dStartLon, m_dDestLat, m_dDestLon, course, distance);
    const std::string courseText = geometry::FormatCourse(course);
    const std::string distanceText = geometry::FormatDistance(distance);
    ShowReadout(dc, kCourseReadout, courseText);
    ShowReadout(dc, kDistanceReadout, distanceText);
    return kSayCourse + Spoken(courseText) + kSayDistance + Spoken(distanceText) + kSayDistanceUnit;
}
