#pragma once
// A static text that shows a web address and opens it when clicked: underlined, shrunk to its
// text, with the address as its tool tip and the pointing-hand cursor. Its colour tells its state:
// red while the mouse is over it (with the hover option), purple once it has been followed, teal
// while it has the keyboard focus, blue otherwise. The background is transparent.
//
// Following opens the address with the default browser. A launcher result of 32 or below beeps and
// shows "Can't open link:" with the reason for that result; otherwise the link counts as visited.
// Both the launcher and the message are hooks, so the dialog that owns the label (and tests) can
// route them through its own services.
#include <QColor>
#include <QFont>
#include <QLabel>
#include <QString>

#include <functional>
#include <string>

#include "platform/launcher.h"

class CHyperLink : public QLabel {
    Q_OBJECT

public:
    // Option bits.
    enum : unsigned {
        kUnderline = 0x01,    // draw the text underlined
        kUseHover = 0x02,     // red while the mouse is over the label
        kAutoSize = 0x04,     // shrink the label to its text
        kDownClick = 0x08,    // follow on the button press instead of its release
        kFocusOnClick = 0x10, // take the keyboard focus when clicked
        kDefaultOptions = kUnderline | kAutoSize | kFocusOnClick,
    };

    // Opens an address; returns the launcher's result code (above 32 on success).
    using OpenFunction = std::function<int(const std::string& strAddress)>;
    // Shows a failure message over the label.
    using MessageFunction = std::function<void(QWidget* pParent, const QString& strText)>;

    // The label's window text may be set later; "attaching" happens at once: when the address is
    // empty the text serves as address, when the text is empty the address is shown.
    explicit CHyperLink(QWidget* pParent = nullptr, const QString& strText = QString());

    // Sets the address; re-measures the label and updates its tool tip. An empty window text
    // shows the address.
    void SetURL(const QString& strURL);
    QString GetURL() const { return m_strURL; }

    // Sets the shown text; with no address yet, the text is the address too.
    void SetWindowText(const QString& strText);

    void SetOptions(unsigned nOptions);
    unsigned GetOptions() const { return m_nOptions; }

    void SetVisited(bool bVisited);
    bool IsVisited() const { return m_bVisited; }
    bool IsHovering() const { return m_bOverControl; }
    bool HasLinkFocus() const { return m_bFocus; }

    // The colour the text is drawn in for the current state.
    QColor CurrentColor() const;

    // Opens the address; on failure beeps and shows the message, on success marks it visited.
    void Follow();

    // The launcher (the default browser unless replaced) and the message box (a warning box with
    // the application name as caption unless replaced). An empty function restores the default.
    void SetOpenFunction(OpenFunction fnOpen);
    void SetMessageFunction(MessageFunction fnMessage);

    // "Can't open link:\n\n" followed by the reason for a launcher result code.
    static QString FailureMessage(int nResult);
    // The reason for a launcher result code of 32 or below.
    static QString ReasonText(int nResult);
    // The launcher result code of a start: above 32 when the browser was started, else the code
    // whose reason tells why not (31, no application associated, when no browser is set; 0 when
    // the system had no resources to start it).
    static int LaunchCode(const platform::LaunchResult& result);

    static QColor LinkColor() { return QColor(0, 0, 238); }
    static QColor VisitedColor() { return QColor(85, 26, 139); }
    static QColor HoverColor() { return QColor(255, 0, 0); }
    static QColor FocusColor() { return QColor(0, 128, 128); }

protected:
    void enterEvent(QEnterEvent* e) override;
    void leaveEvent(QEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;
    void focusInEvent(QFocusEvent* e) override;
    void focusOutEvent(QFocusEvent* e) override;

private:
    void ApplyFont();
    void ApplyColor();
    void PositionWindow();

    QString m_strURL;
    bool m_bVisited = false;
    bool m_bOverControl = false;
    bool m_bFocus = false;
    bool m_bPressed = false;
    unsigned m_nOptions = kDefaultOptions;
    QFont m_fontUnderline;
    OpenFunction m_fnOpen;
    MessageFunction m_fnMessage;
};
