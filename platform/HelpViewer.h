// The help viewer: a window of its own showing an HTML help file, opened at
// the topic whose anchor is named after the context number. It reports a
// file it cannot read, or a topic the file lacks, in a notice above the page.
#pragma once

#include <QRect>
#include <QSize>
#include <QString>
#include <QWidget>

class QLabel;
class QTextBrowser;

namespace platform {

// Where a window of the wanted size goes beside its owner, in screen pixels:
// inside the work area, over none of keepClear (the part of the owner the
// user reads and presses) if any place allows, and over as little of the
// owner and the gap round it as possible. It keeps its size unless shrinking it, down to the
// minimum, lets it clear the owner or keepClear; among equal places the
// larger, then right of the owner, left, below, above. A frame is a
// window's outer rectangle; gap lies between the owner and a window beside it.
QRect PlaceWindowBeside(const QRect& work, const QRect& owner, const QRect& keepClear, QSize wanted, QSize minimum,
                        int gap);

class HelpViewer : public QWidget {
    Q_OBJECT

public:
    // A window of the owner's (it goes with it); never modal. Escape and
    // Ctrl+W close it.
    explicit HelpViewer(QWidget* owner);

    // The viewer of this owner, made on first use.
    static HelpViewer* ForOwner(QWidget* owner);

    // Shows the file at the topic and brings the window forward.
    void ShowTopic(const QString& helpFile, unsigned long context);

    // The anchor name of a context's topic: its number in decimal.
    static QString AnchorFor(unsigned long context);

    QTextBrowser* Browser() const { return m_pBrowser; }
    // What the viewer reports above the page; empty when the topic is shown.
    QString Notice() const;

protected:
    // Closed, it gives the activation back to its owner (without a window
    // manager the focus would fall to no window).
    void closeEvent(QCloseEvent* event) override;

private:
    void Report(const QString& text);
    bool HasAnchor(const QString& name) const;
    void PlaceBesideOwner();  // once, before the first showing

    QLabel* m_pNotice;
    QTextBrowser* m_pBrowser;
    bool m_bPlaced = false;
};

}  // namespace platform
