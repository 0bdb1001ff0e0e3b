#include "platform/HelpViewer.h"

#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QLabel>
#include <QPointer>
#include <QScreen>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextBrowser>
#include <QTextDocument>
#include <QUrl>
#include <QVBoxLayout>
#include <algorithm>

namespace platform {

namespace {
constexpr int kInitialWidth = 640;
constexpr int kInitialHeight = 520;
constexpr int kGap = 8;  // between the owner and the viewer beside it
constexpr const char* kNoticeStyle =
    "QLabel { background: #fff4c2; color: #7a0000; border: 1px solid #c0a000; padding: 6px; font-weight: bold; }";
}  // namespace

HelpViewer::HelpViewer(QWidget* owner)
    : QWidget(owner, Qt::Window), m_pNotice(new QLabel(this)), m_pBrowser(new QTextBrowser(this)) {
    setWindowModality(Qt::NonModal);
    setWindowTitle(QStringLiteral("Help"));
    m_pNotice->setTextFormat(Qt::PlainText);
    m_pNotice->setWordWrap(true);
    m_pNotice->setStyleSheet(QString::fromLatin1(kNoticeStyle));
    m_pNotice->hide();
    m_pBrowser->setOpenExternalLinks(false);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_pNotice);
    layout->addWidget(m_pBrowser, 1);
    resize(kInitialWidth, kInitialHeight);
}

HelpViewer* HelpViewer::ForOwner(QWidget* owner) {
    if (owner == nullptr) {
        // Without an owner the viewer lives until it is closed.
        static QPointer<HelpViewer> ownerless;
        if (ownerless.isNull()) {
            ownerless = new HelpViewer(nullptr);
            ownerless->setAttribute(Qt::WA_DeleteOnClose);
        }
        return ownerless;
    }
    if (auto* viewer = owner->findChild<HelpViewer*>(QString(), Qt::FindDirectChildrenOnly)) return viewer;
    return new HelpViewer(owner);
}

void HelpViewer::PlaceBesideOwner() {
    m_bPlaced = true;
    QWidget* owner = parentWidget();
    QScreen* screen = owner != nullptr ? owner->screen() : QGuiApplication::primaryScreen();
    if (owner == nullptr || screen == nullptr) return;
    // Right of the owner, else left of it as far as the work area allows.
    const QRect work = screen->availableGeometry();
    const QRect near = owner->frameGeometry();
    QPoint topLeft(near.right() + 1 + kGap, near.top());
    if (topLeft.x() + width() > work.right() + 1) topLeft.setX(near.left() - kGap - width());
    topLeft.setX(std::clamp(topLeft.x(), work.left(), std::max(work.left(), work.right() + 1 - width())));
    topLeft.setY(std::clamp(topLeft.y(), work.top(), std::max(work.top(), work.bottom() + 1 - height())));
    move(topLeft);
}

QString HelpViewer::AnchorFor(unsigned long context) { return QString::number(context); }

QString HelpViewer::Notice() const { return m_pNotice->isHidden() ? QString() : m_pNotice->text(); }

void HelpViewer::Report(const QString& text) {
    m_pNotice->setText(text);
    m_pNotice->setVisible(!text.isEmpty());
}

bool HelpViewer::HasAnchor(const QString& name) const {
    const QTextDocument* document = m_pBrowser->document();
    for (QTextBlock block = document->begin(); block.isValid(); block = block.next())
        for (QTextBlock::iterator it = block.begin(); !it.atEnd(); ++it)
            if (it.fragment().charFormat().anchorNames().contains(name)) return true;
    return false;
}

void HelpViewer::ShowTopic(const QString& helpFile, unsigned long context) {
    const QString shownPath = QDir::toNativeSeparators(helpFile);
    setWindowTitle(QStringLiteral("Help - %1").arg(shownPath));
    if (!m_bPlaced) PlaceBesideOwner();
    show();  // visible first, so the browser scrolls to the topic once laid out
    raise();
    activateWindow();

    QFile file(helpFile);
    if (!file.open(QIODevice::ReadOnly)) {
        m_pBrowser->setHtml(QString());
        Report(QStringLiteral("The help file \"%1\" cannot be opened: %2.").arg(shownPath, file.errorString()));
        return;
    }
    file.close();

    const QString anchor = AnchorFor(context);
    QUrl url = QUrl::fromLocalFile(helpFile);
    url.setFragment(anchor);
    // The same file again is read afresh: it may have changed on disk.
    if (m_pBrowser->source().matches(url, QUrl::RemoveFragment)) m_pBrowser->reload();
    m_pBrowser->setSource(url, QTextDocument::HtmlResource);
    if (HasAnchor(anchor)) {
        Report(QString());
    } else {
        m_pBrowser->verticalScrollBar()->setValue(0);
        Report(QStringLiteral("The help file \"%1\" has no topic for context %2; its first page is shown.")
                   .arg(shownPath)
                   .arg(context));
    }
}

}  // namespace platform
