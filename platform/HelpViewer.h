// The help viewer: a window of its own showing an HTML help file, opened at
// the topic whose anchor is named after the context number. It reports a
// file it cannot read, or a topic the file lacks, in a notice above the page.
#pragma once

#include <QString>
#include <QWidget>

class QLabel;
class QTextBrowser;

namespace platform {

class HelpViewer : public QWidget {
    Q_OBJECT

public:
    // A window of the owner's (it goes with it); never modal.
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

private:
    void Report(const QString& text);
    bool HasAnchor(const QString& name) const;
    void PlaceBesideOwner();  // once, before the first showing

    QLabel* m_pNotice;
    QTextBrowser* m_pBrowser;
    bool m_bPlaced = false;
};

}  // namespace platform
