#pragma once
// The status bar's panes: the message pane, which shows the idle text ("Ready") whenever no
// command prompt is shown, and the CAP, NUM and SCRL lock indicators.
#include <QObject>

class QLabel;
class QStatusBar;
class QTimer;

class CStatusPanes final : public QObject {
    Q_OBJECT
public:
    // Adds the panes to `bar` and starts following the lock keys where the display tells them.
    explicit CStatusPanes(QStatusBar* bar);

    // Reloads the pane texts from the current resource set.
    void SetTexts();
    // Reads the lock keys again; the indicators show dimmed when their key is off or unknown.
    void UpdateIndicators();

    QLabel* IdlePane() const { return m_pIdle; }
    QLabel* Indicator(int index) const; // 0 CAP, 1 NUM, 2 SCRL

private:
    QStatusBar* m_pBar;
    QLabel* m_pIdle;
    QLabel* m_pIndicators[3];
    QTimer* m_pTimer;
};
