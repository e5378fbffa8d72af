#pragma once
// The start-up help window (dialog 138): four numbered steps and a "Hide the tooltips" check box
// that closes it, as Cancel does.
#include <QDialog>

class CHelpWindow final : public QDialog {
    Q_OBJECT
public:
    explicit CHelpWindow(QWidget* parent = nullptr);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    bool m_bFramed = false; // drawn with its own border when the template has no caption bar
};
