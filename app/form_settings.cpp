#include "app/form_settings.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QCheckBox>
#include <QComboBox>
#include <QFontMetrics>
#include <QLineEdit>
#include <QRegularExpressionValidator>
#include <QSignalBlocker>
#include <QStyle>

#include "lang/resource_ids.h"

namespace {

// The output folder field holds any folder the file system accepts: nothing is ever cut from it,
// since a cut folder is a different folder.
constexpr int kOutputPathMax = 32767; // the most a line edit holds

template <class T> T* ControlAs(const QMap<int, QWidget*>& controls, int nId) {
    return qobject_cast<T*>(controls.value(nId, nullptr));
}

// Digits only, as the template's number style asks; set here too so the fields keep the rule
// whatever template a language supplies.
void DigitsOnly(QLineEdit* edit) {
    if (edit != nullptr) {
        edit->setValidator(
            new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), edit));
    }
}

QString Text(const QLineEdit* edit) {
    return edit != nullptr ? edit->text() : QString();
}

void SetText(QLineEdit* edit, const std::string& strText) {
    if (edit != nullptr) {
        edit->setText(QString::fromStdString(strText));
    }
}

} // namespace

CFormSettings::CFormSettings(const QMap<int, QWidget*>& controls, QObject* parent)
    : QObject(parent) {
    for (int i = 0; i < profiles::kFormatCount; ++i) {
        const int nId = profiles::kFormats[static_cast<std::size_t>(i)].nControlId;
        if (auto* button = ControlAs<QAbstractButton>(controls, nId)) {
            button->setCheckable(true);
            m_formatButtons.insert(i, button);
            connect(button, &QAbstractButton::toggled, this, [this, i](bool bChecked) {
                if (bChecked) {
                    emit formatChanged(i);
                }
            });
        }
    }
    for (int i = 0; i < profiles::kStandardCount; ++i) {
        const int nId = profiles::kStandards[static_cast<std::size_t>(i)].nControlId;
        if (auto* button = ControlAs<QAbstractButton>(controls, nId)) {
            button->setCheckable(true);
            m_standardButtons.insert(i, button);
        }
    }
    for (profiles::SettingList list : profiles::kFillOrder) {
        const int nId = profiles::ListControlId(list);
        if (auto* combo = ControlAs<QComboBox>(controls, nId)) {
            m_lists.insert(nId, combo);
        }
    }
    m_pWidth = ControlAs<QLineEdit>(controls, ids::kCtlWidth);
    m_pHeight = ControlAs<QLineEdit>(controls, ids::kCtlHeight);
    m_pMaxRate = ControlAs<QLineEdit>(controls, ids::kCtlMaxRate);
    m_pMinRate = ControlAs<QLineEdit>(controls, ids::kCtlMinRate);
    m_pVariableBitRate = ControlAs<QCheckBox>(controls, ids::kCtlVariableBitRate);
    m_pOutputPath = ControlAs<QLineEdit>(controls, ids::kCtlOutputPath);
    DigitsOnly(m_pWidth);
    DigitsOnly(m_pHeight);
    DigitsOnly(m_pMaxRate);
    DigitsOnly(m_pMinRate);
    if (m_pOutputPath != nullptr) {
        m_pOutputPath->setReadOnly(true);
        m_pOutputPath->setMaxLength(kOutputPathMax);
    }

    // Only a change made by the user runs the step; filling and showing set the texts directly.
    if (QComboBox* size = List(profiles::SettingList::Size)) {
        connect(size, &QComboBox::activated, this, &CFormSettings::SizeChoiceChanged);
    }
    if (m_pVariableBitRate != nullptr) {
        connect(m_pVariableBitRate, &QCheckBox::clicked, this,
                &CFormSettings::VariableBitRateToggled);
    }
}

QComboBox* CFormSettings::List(profiles::SettingList list) const {
    return m_lists.value(profiles::ListControlId(list), nullptr);
}

void CFormSettings::FillLists() {
    for (profiles::SettingList list : profiles::kFillOrder) {
        QComboBox* combo = List(list);
        if (combo == nullptr) {
            continue;
        }
        const QSignalBlocker blocker(combo);
        combo->clear();
        const QFontMetrics metrics(combo->font());
        int nWidest = 0;
        for (const profiles::ListItem& item : profiles::BuildListItems(list)) {
            const QString strText = QString::fromStdString(item.strText);
            combo->addItem(strText, item.nData);
            nWidest = qMax(nWidest, metrics.horizontalAdvance(strText));
        }
        combo->setCurrentIndex(0);
        // The dropped list is as wide as its widest text, plus the item margins and the frame the
        // style draws around it.
        QAbstractItemView* view = combo->view();
        const int nMargins = 2 * view->frameWidth() +
                             2 * combo->style()->pixelMetric(QStyle::PM_FocusFrameHMargin) +
                             view->style()->pixelMetric(QStyle::PM_ScrollBarExtent);
        view->setMinimumWidth(nWidest + nMargins);
        combo->setEnabled(true);
    }
    SizeChoiceChanged(Position(profiles::SettingList::Size));
    VariableBitRateToggled();
}

int CFormSettings::Position(profiles::SettingList list) const {
    const QComboBox* combo = List(list);
    return combo != nullptr ? qMax(0, combo->currentIndex()) : 0;
}

void CFormSettings::SetPosition(profiles::SettingList list, int nPosition) {
    if (QComboBox* combo = List(list)) {
        const QSignalBlocker blocker(combo);
        combo->setCurrentIndex(nPosition >= 0 && nPosition < combo->count() ? nPosition : 0);
    }
}

profiles::ConversionSettings CFormSettings::Read() const {
    profiles::ConversionSettings s;
    s.m_nFormat = -1;
    for (auto it = m_formatButtons.cbegin(); it != m_formatButtons.cend(); ++it) {
        if (it.value()->isChecked()) {
            s.m_nFormat = it.key();
            break;
        }
    }
    s.m_nStandard = -1;
    for (auto it = m_standardButtons.cbegin(); it != m_standardButtons.cend(); ++it) {
        if (it.value()->isChecked()) {
            s.m_nStandard = it.key();
            break;
        }
    }
    s.m_nSizePos = Position(profiles::SettingList::Size);
    s.m_strWidth = Text(m_pWidth).toStdString();
    s.m_strHeight = Text(m_pHeight).toStdString();
    s.m_nFrameRatePos = Position(profiles::SettingList::FrameRate);
    s.m_nVideoBitRatePos = Position(profiles::SettingList::VideoBitRate);
    s.m_bVariableBitRate = m_pVariableBitRate != nullptr && m_pVariableBitRate->isChecked();
    s.m_strMaxRate = Text(m_pMaxRate).toStdString();
    s.m_strMinRate = Text(m_pMinRate).toStdString();
    s.m_nChannelsPos = Position(profiles::SettingList::Channels);
    s.m_nAudioBitRatePos = Position(profiles::SettingList::AudioBitRate);
    s.m_nSampleRatePos = Position(profiles::SettingList::SampleRate);
    s.m_nVolumePos = Position(profiles::SettingList::Volume);
    s.m_strOutputFolder = OutputFolder().toStdString();
    return s;
}

void CFormSettings::ShowFormat(int nFormat) {
    for (auto it = m_formatButtons.begin(); it != m_formatButtons.end(); ++it) {
        it.value()->setChecked(it.key() == nFormat);
    }
}

void CFormSettings::ShowStandard(int nStandard) {
    for (auto it = m_standardButtons.begin(); it != m_standardButtons.end(); ++it) {
        it.value()->setChecked(it.key() == nStandard);
    }
}

void CFormSettings::ShowSize(const profiles::ConversionSettings& settings) {
    SetText(m_pWidth, settings.m_strWidth);
    SetText(m_pHeight, settings.m_strHeight);
}

void CFormSettings::ShowFieldStates(const profiles::ConversionSettings& settings) {
    const profiles::FieldStates states = settings.EnabledFields();
    if (m_pMaxRate != nullptr) {
        m_pMaxRate->setEnabled(states.bMaxRate);
    }
    if (m_pMinRate != nullptr) {
        m_pMinRate->setEnabled(states.bMinRate);
    }
}

void CFormSettings::Show(const profiles::ConversionSettings& settings) {
    ShowFormat(settings.m_nFormat);
    ShowStandard(settings.m_nStandard);
    SetPosition(profiles::SettingList::Size, settings.m_nSizePos);
    ShowSize(settings);
    SetPosition(profiles::SettingList::FrameRate, settings.m_nFrameRatePos);
    SetPosition(profiles::SettingList::VideoBitRate, settings.m_nVideoBitRatePos);
    if (m_pVariableBitRate != nullptr) {
        m_pVariableBitRate->setChecked(settings.m_bVariableBitRate);
    }
    SetText(m_pMaxRate, settings.m_strMaxRate);
    SetText(m_pMinRate, settings.m_strMinRate);
    ShowFieldStates(settings);
    SetPosition(profiles::SettingList::Channels, settings.m_nChannelsPos);
    SetPosition(profiles::SettingList::AudioBitRate, settings.m_nAudioBitRatePos);
    SetPosition(profiles::SettingList::SampleRate, settings.m_nSampleRatePos);
    SetPosition(profiles::SettingList::Volume, settings.m_nVolumePos);
    SetOutputFolder(QString::fromStdString(settings.m_strOutputFolder));
}

void CFormSettings::SizeChoiceChanged(int nPosition) {
    profiles::ConversionSettings settings = Read();
    settings.OnSizeChoiceChanged(nPosition);
    ShowSize(settings);
}

void CFormSettings::VariableBitRateToggled() {
    profiles::ConversionSettings settings = Read();
    settings.OnVariableBitRateToggled(settings.m_bVariableBitRate);
    ShowFieldStates(settings);
}

void CFormSettings::MakeSizeConsistent() {
    profiles::ConversionSettings settings = Read();
    settings.MakeSizeConsistent();
    ShowSize(settings);
}

void CFormSettings::TakeOver(const profiles::ConversionSettings& old) {
    profiles::ConversionSettings settings = Read();
    settings.TakeOver(old);
    Show(settings);
}

QString CFormSettings::OutputFolder() const {
    return Text(m_pOutputPath);
}

void CFormSettings::SetOutputFolder(const QString& strFolder) {
    if (m_pOutputPath != nullptr) {
        m_pOutputPath->setText(strFolder);
    }
}
