#include "app/status_panes.h"

#include "app/lock_keys.h"
#include "lang/resource_ids.h"
#include "lang/resource_strings.h"

#include <QFontMetrics>
#include <QLabel>
#include <QStatusBar>
#include <QTimer>

namespace {

constexpr int kIndicatorTextIds[3] = {ids::kStrIndicatorCaps, ids::kStrIndicatorNum,
                                      ids::kStrIndicatorScroll};
constexpr int kLockPollMs = 250;

QString PaneText(int id) {
    const std::string* text = FindResString(id);
    return text != nullptr ? QString::fromStdString(*text) : QString();
}

} // namespace

CStatusPanes::CStatusPanes(QStatusBar* bar)
    : QObject(bar), m_pBar(bar), m_pIdle(new QLabel(bar)), m_pIndicators{},
      m_pTimer(new QTimer(this)) {
    m_pIdle->setObjectName(QStringLiteral("status_idle"));
    m_pBar->addWidget(m_pIdle, 1);
    for (int i = 0; i < 3; ++i) {
        auto* pane = new QLabel(bar);
        pane->setObjectName(QStringLiteral("status_indicator_%1").arg(i));
        pane->setAlignment(Qt::AlignCenter);
        pane->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        m_pBar->addPermanentWidget(pane);
        m_pIndicators[i] = pane;
    }
    SetTexts();
    UpdateIndicators();
    if (ReadLockKeyStates().has_value()) {
        connect(m_pTimer, &QTimer::timeout, this, &CStatusPanes::UpdateIndicators);
        m_pTimer->start(kLockPollMs);
    }
}

QLabel* CStatusPanes::Indicator(int index) const {
    return index >= 0 && index < 3 ? m_pIndicators[index] : nullptr;
}

void CStatusPanes::SetTexts() {
    m_pIdle->setText(PaneText(ids::kStrIdleMessage));
    for (int i = 0; i < 3; ++i) {
        const QString text = PaneText(kIndicatorTextIds[i]);
        m_pIndicators[i]->setText(text);
        // Wide enough for the text, as the framework sizes indicator panes.
        const int nWidth = QFontMetrics(m_pIndicators[i]->font()).horizontalAdvance(text) + 12;
        m_pIndicators[i]->setMinimumWidth(nWidth);
    }
}

void CStatusPanes::UpdateIndicators() {
    const std::optional<LockKeyStates> states = ReadLockKeyStates();
    const bool on[3] = {states && states->bCaps, states && states->bNum, states && states->bScroll};
    for (int i = 0; i < 3; ++i) {
        m_pIndicators[i]->setEnabled(on[i]);
    }
}
