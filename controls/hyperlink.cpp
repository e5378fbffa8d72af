#include "controls/hyperlink.h"

#include <QApplication>
#include <QEnterEvent>
#include <QKeyEvent>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPalette>

#include "platform/default_browser.h"

CHyperLink::CHyperLink(QWidget* pParent, const QString& strText) : QLabel(strText, pParent) {
    setAutoFillBackground(false);
    setCursor(Qt::PointingHandCursor);
    setTextFormat(Qt::PlainText);
    setFocusPolicy(Qt::StrongFocus);
    m_strURL = strText;
    ApplyFont();
    ApplyColor();
    setToolTip(m_strURL);
    PositionWindow();
}

void CHyperLink::SetURL(const QString& strURL) {
    m_strURL = strURL;
    if (text().isEmpty()) {
        setText(m_strURL);
    }
    setToolTip(m_strURL);
    PositionWindow();
}

void CHyperLink::SetWindowText(const QString& strText) {
    setText(strText);
    if (m_strURL.isEmpty()) {
        m_strURL = strText;
        setToolTip(m_strURL);
    }
    PositionWindow();
}

void CHyperLink::SetOptions(unsigned nOptions) {
    m_nOptions = nOptions;
    setFocusPolicy((m_nOptions & kFocusOnClick) != 0 ? Qt::StrongFocus : Qt::TabFocus);
    ApplyFont();
    ApplyColor();
    PositionWindow();
}

void CHyperLink::SetVisited(bool bVisited) {
    m_bVisited = bVisited;
    ApplyColor();
}

QColor CHyperLink::CurrentColor() const {
    if (m_bOverControl && (m_nOptions & kUseHover) != 0) {
        return HoverColor();
    }
    if (m_bVisited) {
        return VisitedColor();
    }
    if (m_bFocus) {
        return FocusColor();
    }
    return LinkColor();
}

void CHyperLink::SetOpenFunction(OpenFunction fnOpen) {
    m_fnOpen = std::move(fnOpen);
}

void CHyperLink::SetMessageFunction(MessageFunction fnMessage) {
    m_fnMessage = std::move(fnMessage);
}

QString CHyperLink::ReasonText(int nResult) {
    switch (nResult) {
    case 0:
        return QStringLiteral("The operating system is out\nof memory or resources.");
    case 2:
        return QStringLiteral("The specified file was not found.");
    case 3:
        return QStringLiteral("The specified path was not found.");
    case 5:
        return QStringLiteral("The operating system denied\naccess to the specified file.");
    case 8:
        return QStringLiteral("There was not enough memory to complete the operation.");
    case 11:
        return QStringLiteral("The .EXE file is invalid\n(non-Win32 .EXE or error in .EXE image).");
    case 26:
        return QStringLiteral("A sharing violation occurred. ");
    case 27:
        return QStringLiteral("The filename association is\nincomplete or invalid.");
    case 28:
        return QStringLiteral(
            "The DDE transaction could not\nbe completed because the request timed out.");
    case 29:
        return QStringLiteral("The DDE transaction failed.");
    case 30:
        return QStringLiteral("The DDE transaction could not\nbe completed because other DDE "
                              "transactions\nwere being processed.");
    case 31:
        return QStringLiteral("There is no application associated\nwith the given filename "
                              "extension.");
    case 32:
        return QStringLiteral("The specified dynamic-link library was not found.");
    default:
        return QStringLiteral("Unknown Error (%1) occurred.").arg(nResult);
    }
}

int CHyperLink::LaunchCode(const platform::LaunchResult& result) {
    switch (result.fault) {
    case platform::LaunchFault::kNone:
        return 42;
    case platform::LaunchFault::kFileNotFound:
        return 2;
    case platform::LaunchFault::kPathNotFound:
        return 3;
    case platform::LaunchFault::kAccessDenied:
        return 5;
    case platform::LaunchFault::kNoMemory:
        return 8;
    case platform::LaunchFault::kBadFormat:
        return 11;
    case platform::LaunchFault::kBusy:
        return 26;
    case platform::LaunchFault::kBadCommand:
        return 27;
    case platform::LaunchFault::kNoHandler:
        // No default browser is set: nothing is associated with web pages.
        return 31;
    case platform::LaunchFault::kNoResources:
        break;
    }
    return 0;
}

QString CHyperLink::FailureMessage(int nResult) {
    return QStringLiteral("Can't open link:\n\n") + ReasonText(nResult);
}

void CHyperLink::Follow() {
    const std::string strAddress = m_strURL.toStdString();
    const int nResult =
        m_fnOpen ? m_fnOpen(strAddress) : LaunchCode(platform::OpenInDefaultBrowser(strAddress));
    if (nResult <= 32) {
        QApplication::beep();
        const QString strText = FailureMessage(nResult);
        if (m_fnMessage) {
            m_fnMessage(this, strText);
        } else {
            QMessageBox::warning(this, QApplication::applicationName(), strText);
        }
        return;
    }
    SetVisited(true);
}

void CHyperLink::enterEvent(QEnterEvent* e) {
    m_bOverControl = true;
    ApplyColor();
    QLabel::enterEvent(e);
}

void CHyperLink::leaveEvent(QEvent* e) {
    m_bOverControl = false;
    m_bPressed = false;
    ApplyColor();
    QLabel::leaveEvent(e);
}

void CHyperLink::mousePressEvent(QMouseEvent* e) {
    if (e->button() != Qt::LeftButton) {
        QLabel::mousePressEvent(e);
        return;
    }
    if ((m_nOptions & kFocusOnClick) != 0) {
        setFocus(Qt::MouseFocusReason);
    }
    if ((m_nOptions & kDownClick) != 0) {
        m_bPressed = false;
        Follow();
        return;
    }
    m_bPressed = true;
}

void CHyperLink::mouseReleaseEvent(QMouseEvent* e) {
    if (e->button() != Qt::LeftButton) {
        QLabel::mouseReleaseEvent(e);
        return;
    }
    const bool bWasPressed = m_bPressed;
    m_bPressed = false;
    if (bWasPressed && rect().contains(e->position().toPoint())) {
        Follow();
    }
}

void CHyperLink::keyPressEvent(QKeyEvent* e) {
    if (e->key() == Qt::Key_Space && !e->isAutoRepeat()) {
        Follow();
        return;
    }
    QLabel::keyPressEvent(e);
}

void CHyperLink::focusInEvent(QFocusEvent* e) {
    m_bFocus = true;
    ApplyColor();
    QLabel::focusInEvent(e);
}

void CHyperLink::focusOutEvent(QFocusEvent* e) {
    m_bFocus = false;
    ApplyColor();
    QLabel::focusOutEvent(e);
}

void CHyperLink::ApplyFont() {
    m_fontUnderline = parentWidget() != nullptr ? parentWidget()->font() : QApplication::font();
    m_fontUnderline.setUnderline((m_nOptions & kUnderline) != 0);
    setFont(m_fontUnderline);
}

void CHyperLink::ApplyColor() {
    QPalette palette = this->palette();
    palette.setColor(QPalette::WindowText, CurrentColor());
    setPalette(palette);
    update();
}

void CHyperLink::PositionWindow() {
    if ((m_nOptions & kAutoSize) == 0) {
        return;
    }
    const QRect rcOld = geometry();
    const QSize sizeText = sizeHint();
    QRect rcNew(rcOld.topLeft(), sizeText);
    // A centred or right-aligned label keeps its centre or its right edge.
    if ((alignment() & Qt::AlignHCenter) != 0) {
        rcNew.moveLeft(rcOld.left() + (rcOld.width() - sizeText.width()) / 2);
    } else if ((alignment() & Qt::AlignRight) != 0) {
        rcNew.moveLeft(rcOld.right() - sizeText.width() + 1);
    }
    if ((alignment() & Qt::AlignVCenter) != 0) {
        rcNew.moveTop(rcOld.top() + (rcOld.height() - sizeText.height()) / 2);
    }
    setGeometry(rcNew);
}
