// The main dialog: the world map with its readout panel.
#pragma once

#include <span>
#include <string>

#include "model/FieldModel.h"
#include "platform/Brush.h"
#include "platform/Dialog.h"
#include "platform/Font.h"

namespace platform {
class CDC;
}

class CDexlinDlg : public platform::CDialog {
public:
    // The variation readout uses the field model given (it must outlive the
    // dialog), counting the date as the field models do and naming the model
    // in the title; nullptr: the built-in 1995.0 reference field with the
    // program's own day count and title.
    explicit CDexlinDlg(platform::CDialog* pParent = nullptr, const model::FieldModel* pFieldModel = nullptr);
    ~CDexlinDlg() override;

    const model::FieldModel* m_pFieldModel;  // the variation readout's model
    bool m_bModelChosen;                     // a model given, not the built-in default
    platform::HICON m_hIcon;
    double m_dModelYear = 0.0;  // decimal year, passed to the variation query
    int m_nMapLeft;             // map rectangle in client pixels, edges inclusive
    int m_nMapTop;
    int m_nMapRight;
    int m_nMapBottom;          // the readout rows lie below it
    int m_nMapOffset;          // client point of the map's pixel (0, 0)
    double m_dStartLat = 0.0;  // start point, degrees; meaningful while m_bStartSet
    double m_dStartLon = 0.0;
    double m_dDestLat = 0.0;  // destination, degrees; meaningful while m_bDestSet
    double m_dDestLon = 0.0;
    int m_nMarkerRadius;               // marker radius in pixels
    platform::CPoint m_ptStartMarker;  // centre of the start marker last drawn
    platform::CPoint m_ptDestMarker;   // centre of the destination marker last drawn
    platform::BOOL m_bStartSet;        // a start point has been chosen
    platform::BOOL m_bDestSet;         // a destination has been chosen
    platform::BOOL m_bStartDrawn;      // a start marker is on the screen
    platform::BOOL m_bDestDrawn;       // a destination marker is on the screen
    platform::CBrush m_brushStart;     // yellow fill of the start marker
    platform::CBrush m_brushDest;      // red fill of the destination marker
    platform::CFont* m_pReadoutFont;   // font of every readout text, owned
    platform::CPoint m_ptKeyboard;     // the keyboard's point on the map; follows the pointer too

    // Regions that assistive technology reads: the map, then the six readouts.
    static constexpr int kMapRegion = 1;

    // The map's geometry for this dialog's map rectangle.
    int IsInsideMap(int x, int y) const;
    void PixelToGeographic(int x, int y, double& latitude, double& longitude, std::string& text) const;
    void GreatCircleCourseDistance(double lat1, double lon1, double lat2, double lon2, double& course,
                                   double& distance) const;

    // Sets m_dModelYear from the local date; warns when the date is outside
    // the model's years (1995 to 2000 for the reference field).
    void SetUpModelYear();

protected:
    void DoDataExchange(platform::CDataExchange* pDX) override;
    platform::BOOL OnInitDialog() override;
    std::span<const platform::MessageEntry> GetMessageMap() const override;

    void OnSysCommand(platform::UINT nID, platform::LPARAM lParam);
    void OnAbout();  // the About button and the system menu's about entry
    void OnPaint();
    platform::HCURSOR OnQueryDragIcon();
    void OnDestroy();

    // The pointer over the map: position and variation readouts, start and
    // destination markers, course and distance.
    void OnMouseMove(platform::UINT nFlags, platform::CPoint point);
    void OnLButtonDown(platform::UINT nFlags, platform::CPoint point);
    void OnRButtonDown(platform::UINT nFlags, platform::CPoint point);
    // The keyboard on the map: moves its point and chooses the ends there
    // through the pointer handlers above.
    void OnKeyDown(platform::UINT nChar, platform::UINT nFlags);
    // The map taking the focus: the readouts and a listener get the keyboard's point at once.
    void OnSetFocus(int nRegion);

private:
    // A readout box: the top-left anchor of its text (y below the map's bottom
    // row), the spaces that blank it, and the widest text its format gives.
    // Each is also a region named for its label.
    struct Readout {
        int x;
        int nBelowMap;
        int nBlank;
        const char* pszWidest;
        int nRegion;
        const char* pszName;
    };
    static const Readout kCursorReadout, kVariationReadout, kStartReadout, kCourseReadout, kDestReadout,
        kDistanceReadout;

    // What a click of one button changes: that end's marker, position and flags.
    struct RouteEnd {
        platform::CBrush& brush;
        platform::CPoint& ptMarker;
        platform::BOOL& bDrawn;
        platform::BOOL& bSet;
        double& dLat;
        double& dLon;
        const Readout& readout;           // its position readout
        const char* pszSaid;              // what a listener hears before its position
        const platform::BOOL& bOtherSet;  // the other end has been chosen
        platform::CBrush& otherBrush;     // the other end's marker, redrawn where a restored square cut it
        const platform::CPoint& ptOtherMarker;
        const platform::BOOL& bOtherDrawn;
    };

    // The client point of the map's middle pixel: where the keyboard's point starts.
    platform::CPoint MapCentre() const;
    void ChooseRouteEnd(platform::CDC& dc, platform::CPoint point, const RouteEnd& end);
    // Blanks the readout, then draws the text in it.
    void ShowReadout(platform::CDC& dc, const Readout& readout, const std::string& text);
    // Shows the course and distance; returns them as a listener hears them.
    std::string ShowCourseAndDistance(platform::CDC& dc);
    // Tells a listener on the focused map what it has just become (the map's
    // status): always for a key or a choice, for the pointer only when it says
    // something new.
    void SayOnMap(const std::string& sentence, bool always);

    std::string m_strSaid;  // the map's status last set
    bool m_bByKey = false;  // a key's pointer message is being handled

    static const platform::MessageEntry kMessageMap[];
};
