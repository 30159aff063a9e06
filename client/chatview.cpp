#include "client/chatview.h"

#include "client/pictures.h"

#include <QAction>
#include <QContextMenuEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextFragment>

namespace {
// Marks every piece of chat text with the number of its style.
constexpr int styleProperty = QTextFormat::UserProperty + 1;
const QString smileyMark = QStringLiteral(":)#");

// The two characters after a smiley mark as a number, or -1. Codes have two digits.
int smileyNumber(QStringView digits)
{
    int value = 0;
    for (const QChar c : digits) {
        if (c < u'0' || c > u'9')
            return -1;
        value = value * 10 + (c.unicode() - u'0');
    }
    return digits.size() == 2 ? value : -1;
}
const QColor viewBackground(247, 242, 223);

// A smiley picture ends a word as well.
bool endsWord(QChar c)
{
    static const QString delimiters = QStringLiteral(" .;,:(){}\"");
    return delimiters.contains(c) || c == QChar::ObjectReplacementCharacter;
}

QString smileyName(int index)
{
    return QStringLiteral("smiley:%1").arg(index);
}
} // namespace

ChatView::ChatView(QWidget* parent) : QTextBrowser(parent)
{
    setObjectName(QStringLiteral("mainchat"));
    setReadOnly(true);
    setOpenLinks(false);
    setOpenExternalLinks(false);
    setUndoRedoEnabled(false);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setTextInteractionFlags(Qt::TextBrowserInteraction);
    setContextMenuPolicy(Qt::DefaultContextMenu);
    document()->setDocumentMargin(5);
    QPalette palette = this->palette();
    palette.setColor(QPalette::Base, viewBackground);
    setPalette(palette);

    const QString arial = QStringLiteral("Arial");
    const QColor blue(0, 0, 255);
    const QColor navy(0, 0, 128);
    const QColor maroon(128, 0, 0);
    const QColor green(0, 128, 0);
    const QColor silver(192, 192, 192);
    const QColor windowText = palette.color(QPalette::WindowText);
    m_styles[0] = {arial, defaultTextSize, blue, false, false, false};
    m_styles[1] = {arial, defaultTextSize, blue, true, false, false};
    m_styles[2] = {arial, defaultTextSize, navy, true, false, false};
    m_styles[3] = {arial, defaultTextSize, maroon, false, true, false};
    m_styles[4] = {arial, defaultTextSize, green, false, false, true};
    m_styles[5] = {arial, defaultTextSize, green, false, false, true};
    m_styles[6] = {arial, defaultTextSize, silver, false, false, false};
    m_styles[7] = {arial, defaultTextSize, silver, false, false, false};
    for (std::size_t i = 8; i < m_styles.size(); ++i)
        m_styles[i] = {arial, defaultTextSize, windowText, false, false, false};

    connect(this, &QTextBrowser::anchorClicked, this, [this](const QUrl& url) {
        bool ok = false;
        const int slot = url.toString().toInt(&ok);
        if (ok)
            emit linkActivated(slot);
    });

    m_popup = new QMenu(this);
    m_popup->setObjectName(QStringLiteral("popup_mainchat"));
    QAction* selectAll = m_popup->addAction(QStringLiteral("Select All"));
    selectAll->setObjectName(QStringLiteral("SelectAll1"));
    connect(selectAll, &QAction::triggered, this, [this] {
        QTextBrowser::selectAll();
        viewport()->update();
    });
    QAction* copy = m_popup->addAction(QStringLiteral("Copy"));
    copy->setObjectName(QStringLiteral("Copy1"));
    copy->setShortcut(QKeySequence::Copy);
    connect(copy, &QAction::triggered, this, &QTextEdit::copy);
}

void ChatView::contextMenuEvent(QContextMenuEvent* event)
{
    m_popup->popup(event->globalPos());
}

void ChatView::mouseDoubleClickEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton) {
        QTextBrowser::mouseDoubleClickEvent(event);
        return;
    }
    QTextCursor cursor = cursorForPosition(event->position().toPoint());
    const QString text = cursor.block().text();
    const int blockStart = cursor.block().position();
    int start = cursor.positionInBlock();
    int end = start;
    while (start > 0 && !endsWord(text.at(start - 1)))
        --start;
    while (end < text.size() && !endsWord(text.at(end)))
        ++end;
    cursor.setPosition(blockStart + start);
    cursor.setPosition(blockStart + end, QTextCursor::KeepAnchor);
    setTextCursor(cursor);
    event->accept();
}

QTextCharFormat ChatView::formatFor(int number) const
{
    const Style& s = m_styles.at(std::size_t(number));
    QTextCharFormat format;
    format.setFontFamilies({s.family});
    format.setFontPointSize(s.size);
    format.setForeground(s.colour);
    format.setFontWeight(s.bold ? QFont::Bold : QFont::Normal);
    format.setFontItalic(s.italic);
    format.setFontUnderline(s.underline);
    format.setProperty(styleProperty, number);
    return format;
}

void ChatView::setStyle(int number, const Style& style)
{
    if (number < 0 || number >= styleCount || m_styles[std::size_t(number)] == style)
        return;
    m_styles[std::size_t(number)] = style;
    std::array<bool, styleCount> which{};
    which[std::size_t(number)] = true;
    restyle(which);
}

void ChatView::setTextSize(int size)
{
    std::array<bool, styleCount> which{};
    for (std::size_t i = 0; i < m_styles.size(); ++i) {
        which[i] = m_styles[i].size != size;
        m_styles[i].size = size;
    }
    restyle(which);
}

void ChatView::restyle(const std::array<bool, styleCount>& which)
{
    // Collected first: re-formatting merges fragments under a live iterator.
    struct Range {
        int start;
        int length;
        int style;
    };
    QList<Range> ranges;
    for (QTextBlock block = document()->begin(); block.isValid(); block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            const QTextCharFormat format = fragment.charFormat();
            if (!format.hasProperty(styleProperty) || format.isImageFormat())
                continue;
            const int style = format.intProperty(styleProperty);
            if (style >= 0 && style < styleCount && which[std::size_t(style)])
                ranges.append({fragment.position(), fragment.length(), style});
        }
    }
    if (ranges.isEmpty())
        return;
    QTextCursor cursor(document());
    cursor.beginEditBlock();
    for (const Range& r : ranges) {
        cursor.setPosition(r.start);
        cursor.setPosition(r.start + r.length, QTextCursor::KeepAnchor);
        cursor.mergeCharFormat(formatFor(r.style));
    }
    cursor.endEditBlock();
}

int ChatView::styleOf(const QTextFormat& format)
{
    return format.hasProperty(styleProperty) && !format.isImageFormat()
               ? format.intProperty(styleProperty)
               : -1;
}

QString ChatView::linkSlot(int slot) const
{
    return slot >= 0 && slot < linkSlotCount ? m_links[std::size_t(slot)] : QString();
}

QUrl ChatView::webAddress(const QString& word)
{
    QString text = word;
    while (text.endsWith(QLatin1Char(' ')))
        text.chop(1);
    const QString lower = text.toLower();
    if (lower.startsWith(QLatin1String("www.")) && text.size() > 4)
        text.prepend(QLatin1String("http://"));
    else if (!lower.startsWith(QLatin1String("http://")) &&
             !lower.startsWith(QLatin1String("https://")))
        return {};
    const QUrl url(text, QUrl::StrictMode);
    const QString scheme = url.scheme().toLower();
    if (!url.isValid() || url.host().isEmpty() ||
        (scheme != QLatin1String("http") && scheme != QLatin1String("https")))
        return {};
    return url;
}

int ChatView::nextLinkSlot()
{
    // Slot 0 is used once; after the last slot the counter wraps to 1.
    m_linkCounter = m_linkCounter >= linkSlotCount - 1 ? 1 : m_linkCounter + 1;
    return m_linkCounter;
}

void ChatView::addWords(QTextCursor& cursor, const QString& piece, int style)
{
    const QString text = piece + QLatin1Char(' ');
    const QTextCharFormat lineFormat = formatFor(style);
    qsizetype start = 0;
    while (start < text.size()) {
        const qsizetype blank = text.indexOf(QLatin1Char(' '), start);
        const QString word = text.mid(start, blank - start + 1);
        start = blank + 1;
        const QString bare = word.left(word.size() - 1);
        if (!webAddress(bare).isValid()) {
            cursor.insertText(word, lineFormat);
            continue;
        }
        const int slot = nextLinkSlot();
        m_links[std::size_t(slot)] = word;
        QTextCharFormat link = formatFor(linkStyle);
        link.setAnchor(true);
        link.setAnchorHref(QString::number(slot));
        cursor.insertText(bare, link);
        cursor.insertText(QStringLiteral(" "), lineFormat);
    }
}

void ChatView::addSmiley(QTextCursor& cursor, int index)
{
    const QString name = smileyName(index);
    const qreal ratio = devicePixelRatioF();
    QImage image =
        pictures::render(pictures::smileySize, ratio, [index](QPainter& p, const QRectF& r) {
            pictures::paintSmiley(p, r, index);
        }).toImage();
    // Cleared with the document, so added again whenever used.
    document()->addResource(QTextDocument::ImageResource, QUrl(name), image);
    QTextImageFormat format;
    format.setName(name);
    format.setWidth(pictures::smileySize.width());
    format.setHeight(pictures::smileySize.height());
    format.setVerticalAlignment(QTextCharFormat::AlignMiddle);
    cursor.insertImage(format);
}

void ChatView::addLine(int code, const QString& body, const QColor& colour)
{
    if (code < 0 || code > 9)
        return;
    const int style = styleForCode(code);
    Style changed = m_styles[std::size_t(style)];
    changed.colour = colour;
    changed.bold = true;
    setStyle(style, changed);

    const qsizetype colon = body.indexOf(QLatin1Char(':'));
    const QString head = colon < 0 ? QString() : body.left(colon + 1);
    QString rest = colon < 0 ? body : body.mid(colon + 1);

    QTextCursor cursor(document());
    cursor.movePosition(QTextCursor::End);
    cursor.beginEditBlock();
    if (!document()->isEmpty())
        cursor.insertBlock();
    cursor.insertText(head + QLatin1Char(' '), formatFor(style));
    for (qsizetype mark = rest.indexOf(smileyMark); mark >= 0; mark = rest.indexOf(smileyMark)) {
        addWords(cursor, rest.left(mark), style);
        int smileyCode = smileyNumber(QStringView(rest).mid(mark + smileyMark.size(), 2));
        if (smileyCode < firstSmileyCode || smileyCode >= firstSmileyCode + pictures::smileyCount)
            smileyCode = firstSmileyCode;
        rest.remove(0, mark + smileyMark.size() + 2);
        addSmiley(cursor, smileyCode - firstSmileyCode);
    }
    if (!rest.isEmpty())
        addWords(cursor, rest, style);
    cursor.endEditBlock();
}

void ChatView::scrollToEnd()
{
    QScrollBar* bar = verticalScrollBar();
    bar->setValue(bar->maximum());
}

void ChatView::clearChat()
{
    clear();
    viewport()->update();
}
