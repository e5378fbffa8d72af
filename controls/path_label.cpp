#include "controls/path_label.h"

#include <QEvent>
#include <QFontMetrics>
#include <QStringList>

CPathLabel::CPathLabel(QWidget* parent) : QLabel(parent) {
    setTextFormat(Qt::PlainText);
    setWordWrap(false);
    setAlignment(Qt::AlignLeft | Qt::AlignTop);
}

void CPathLabel::SetFullText(const QString& strText) {
    if (strText == m_strFull && !text().isEmpty()) {
        return;
    }
    m_strFull = strText;
    Refresh();
}

QString CPathLabel::ElideLine(const QString& strLine, const QFontMetrics& metrics, int nWidth) {
    if (metrics.horizontalAdvance(strLine) <= nWidth) {
        return strLine;
    }
    // The quotes around a path: straight, typographic (German, Chinese) or guillemets.
    static const QString kOpening = QStringLiteral("\"\u201E\u201C\u00AB\u300C");
    static const QString kClosing = QStringLiteral("\"\u201C\u201D\u00BB\u300D");
    qsizetype nOpen = -1;
    for (qsizetype i = 0; i < strLine.size() && nOpen < 0; ++i) {
        if (kOpening.contains(strLine[i])) {
            nOpen = i;
        }
    }
    qsizetype nClose = -1;
    for (qsizetype i = strLine.size() - 1; i > nOpen && nClose < 0; --i) {
        if (kClosing.contains(strLine[i])) {
            nClose = i;
        }
    }
    if (nOpen >= 0 && nClose > nOpen + 1) {
        const QString strHead = strLine.left(nOpen + 1);
        const QString strTail = strLine.mid(nClose);
        const int nRest = nWidth - metrics.horizontalAdvance(strHead + strTail);
        // Keep the words around the path whole while a useful part of the path still fits.
        if (nRest >= 8 * metrics.averageCharWidth()) {
            const QString strInner = strLine.mid(nOpen + 1, nClose - nOpen - 1);
            return strHead + metrics.elidedText(strInner, Qt::ElideMiddle, nRest) + strTail;
        }
    }
    return metrics.elidedText(strLine, Qt::ElideMiddle, nWidth);
}

void CPathLabel::Refresh() {
    const QFontMetrics metrics(font());
    const int nWidth = contentsRect().width() - 2 * margin() - 1;
    QStringList lines = m_strFull.split(QLatin1Char('\n'));
    bool bShortened = false;
    for (QString& line : lines) {
        const QString shown = ElideLine(line, metrics, nWidth);
        bShortened = bShortened || shown != line;
        line = shown;
    }
    setText(lines.join(QLatin1Char('\n')));
    setToolTip(bShortened ? m_strFull : QString());
}

void CPathLabel::resizeEvent(QResizeEvent* event) {
    QLabel::resizeEvent(event);
    Refresh();
}

void CPathLabel::changeEvent(QEvent* event) {
    QLabel::changeEvent(event);
    if (event->type() == QEvent::FontChange) {
        Refresh();
    }
}
