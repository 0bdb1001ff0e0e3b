#include "platform/HelpViewer.h"

#include <QCloseEvent>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QLabel>
#include <QPointer>
#include <QScreen>
#include <QScrollBar>
#include <QShortcut>
#include <QTextBlock>
#include <QTextBrowser>
#include <QTextDocument>
#include <QUrl>
#include <QVBoxLayout>
#include <algorithm>
#include <tuple>
#include <vector>

#include "platform/Region.h"

namespace platform {

namespace {
constexpr int kInitialWidth = 640;
constexpr int kInitialHeight = 520;
constexpr int kGap = 8;  // between the owner and the viewer beside it
// The smallest viewer that still shows a readable page (about 40 characters
// by 12 lines); it may shrink to this to keep clear of its owner.
constexpr int kMinimumWidth = 300;
constexpr int kMinimumHeight = 240;
constexpr const char* kNoticeStyle =
    "QLabel { background: #fff4c2; color: #7a0000; border: 1px solid #c0a000; padding: 6px; font-weight: bold; }";
qint64 Area(const QRect& r) { return r.isEmpty() ? 0 : static_cast<qint64>(r.width()) * r.height(); }

// r moved inside the work area as far as it fits.
QRect KeptIn(const QRect& work, QRect r) {
    r.moveLeft(std::clamp(r.left(), work.left(), std::max(work.left(), work.right() + 1 - r.width())));
    r.moveTop(std::clamp(r.top(), work.top(), std::max(work.top(), work.bottom() + 1 - r.height())));
    return r;
}

}  // namespace

QRect PlaceWindowBeside(const QRect& work, const QRect& owner, const QRect& keepClear, QSize wanted, QSize minimum,
                        int gap) {
    wanted = wanted.boundedTo(work.size());
    minimum = minimum.boundedTo(wanted);
    std::vector<QRect> candidates;
    // Free strips beside the owner, in order of preference: the window fits
    // there whole, or shrunk as far as the minimum.
    const QRect strips[] = {QRect(QPoint(owner.right() + 1 + gap, work.top()), work.bottomRight()),
                            QRect(work.topLeft(), QPoint(owner.left() - 1 - gap, work.bottom())),
                            QRect(QPoint(work.left(), owner.bottom() + 1 + gap), work.bottomRight()),
                            QRect(work.topLeft(), QPoint(work.right(), owner.top() - 1 - gap))};
    for (int side = 0; side < 4; ++side) {
        const QRect& strip = strips[side];
        const QSize size = wanted.boundedTo(strip.size());
        if (strip.isEmpty() || size.width() < minimum.width() || size.height() < minimum.height()) continue;
        QRect r(QPoint(), size);
        if (side == 0) r.moveTopLeft({strip.left(), owner.top()});
        if (side == 1) r.moveTopLeft({strip.right() + 1 - size.width(), owner.top()});
        if (side == 2) r.moveTopLeft({owner.left(), strip.top()});
        if (side == 3) r.moveTopLeft({owner.left(), strip.bottom() + 1 - size.height()});
        candidates.push_back(KeptIn(strip, r));
    }
    // Over the owner: whole, at the owner's sides and the work area's
    // corners; each also cut back off keepClear where the minimum allows.
    for (int x :
         {owner.right() + 1 + gap, owner.left() - gap - wanted.width(), work.left(), work.right() + 1 - wanted.width()})
        for (int y : {owner.top(), work.top(), work.bottom() + 1 - wanted.height()}) {
            const QRect r = KeptIn(work, QRect(QPoint(x, y), wanted));
            candidates.push_back(r);
            if (!r.intersects(keepClear)) continue;
            const QRect cuts[] = {QRect(r.topLeft(), QPoint(r.right(), keepClear.top() - 1)),
                                  QRect(QPoint(r.left(), keepClear.bottom() + 1), r.bottomRight()),
                                  QRect(r.topLeft(), QPoint(keepClear.left() - 1, r.bottom())),
                                  QRect(QPoint(keepClear.right() + 1, r.top()), r.bottomRight())};
            for (const QRect& cut : cuts)
                if (cut.width() >= minimum.width() && cut.height() >= minimum.height()) candidates.push_back(cut);
        }
    // Least over keepClear, then least over the owner and the gap round it,
    // then the largest; the first of equals.
    const QRect near = owner.adjusted(-gap, -gap, gap, gap);
    auto cost = [&](const QRect& r) { return std::make_tuple(Area(r & keepClear), Area(r & near), -Area(r)); };
    const auto best = std::min_element(candidates.begin(), candidates.end(),
                                       [&](const QRect& a, const QRect& b) { return cost(a) < cost(b); });
    return *best;
}

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
    for (const QKeySequence& keys : {QKeySequence(Qt::Key_Escape), QKeySequence(Qt::CTRL | Qt::Key_W)}) {
        auto* shortcut = new QShortcut(keys, this);
        connect(shortcut, &QShortcut::activated, this, &QWidget::close);
    }
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
    // Where the window system keeps windows' positions to itself (Wayland),
    // it places the viewer; there is nothing to compute.
    if (owner == nullptr || screen == nullptr || QGuiApplication::platformName().startsWith(u"wayland")) return;
    // What the user reads and presses in the owner: the rows across it that
    // hold its controls and text regions, reaching up and down to its
    // graphic regions or its edges (a graphic region, such as a picture, may
    // be covered; labels painted beside the controls may not).
    const QRect client(owner->mapToGlobal(QPoint(0, 0)), owner->size());
    QRect rows;
    std::vector<QRect> graphics;
    for (QWidget* child : owner->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        if (child->isWindow() || child->isHidden()) continue;
        const QRect r(child->mapToGlobal(QPoint(0, 0)), child->size());
        auto* region = qobject_cast<RegionWidget*>(child);
        if (region != nullptr && region->Role() == RegionRole::Graphic)
            graphics.push_back(r);
        else
            rows |= r;
    }
    QRect keepClear;
    if (!rows.isEmpty()) {
        int top = client.top();
        int bottom = client.bottom();
        for (const QRect& g : graphics) {
            if (g.bottom() < rows.top()) top = std::max(top, g.bottom() + 1);
            if (g.top() > rows.bottom()) bottom = std::min(bottom, g.top() - 1);
        }
        keepClear = QRect(QPoint(client.left(), top), QPoint(client.right(), bottom));
    }
    create();  // the platform window knows the frame's margins
    const QRect frame = frameGeometry();
    const QSize margins = frame.size() - size();  // the window system's frame round the viewer, if known
    const QRect placed = PlaceWindowBeside(screen->availableGeometry(), owner->frameGeometry(), keepClear, frame.size(),
                                           QSize(kMinimumWidth, kMinimumHeight) + margins, kGap);
    resize(placed.size() - margins);
    move(placed.topLeft());
}

void HelpViewer::closeEvent(QCloseEvent* event) {
    QWidget::closeEvent(event);
    QWidget* owner = parentWidget();
    if (owner != nullptr && owner->isVisible() && isActiveWindow()) owner->activateWindow();
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
    setWindowTitle(QStringLiteral("Help"));  // the document's own title once it is read
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
    const QString title = m_pBrowser->documentTitle().simplified();
    if (!title.isEmpty()) setWindowTitle(title);
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
