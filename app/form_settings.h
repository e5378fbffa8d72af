#pragma once
// The settings controls of the form: format and standard buttons, the settings lists, the width,
// height, Max and Min fields, "Variable Bit Rate" and the output path field. They only show the
// conversion settings record; its rules (size choice, variable bit rate, size consistency, take
// over) are the record's own steps, which the controls call.
#include <QMap>
#include <QObject>
#include <QString>

#include "profiles/catalogue.h"
#include "profiles/conversion_settings.h"

class QAbstractButton;
class QCheckBox;
class QComboBox;
class QLineEdit;
class QWidget;

class CFormSettings : public QObject {
    Q_OBJECT
public:
    // Binds to the form's controls (by control id); missing controls are skipped.
    CFormSettings(const QMap<int, QWidget*>& controls, QObject* parent);

    // Fills the lists in their fixed order ("Keep Original" first, item data -1, then the table
    // rows), selects position 0, sets each list's dropped width to its widest item text and
    // enables it; then applies the size choice and variable bit rate steps.
    void FillLists();

    // The record as the controls hold it (format and standard -1 while no button is down).
    profiles::ConversionSettings Read() const;
    // Shows every field of the record in the controls (the output folder included).
    void Show(const profiles::ConversionSettings& settings);

    // The record's steps, applied to the controls.
    void SizeChoiceChanged(int nPosition);
    void VariableBitRateToggled();
    void MakeSizeConsistent();
    // Takes the format, standard, list positions, width, height, variable bit rate and the Max and
    // Min texts of an old view's record; the output folder stays.
    void TakeOver(const profiles::ConversionSettings& old);

    QString OutputFolder() const;
    void SetOutputFolder(const QString& strFolder);

    // The list control of a settings list, or nullptr.
    QComboBox* List(profiles::SettingList list) const;

signals:
    // Another format button is down now (by the user or from code).
    void formatChanged(int nFormat);

private:
    void ShowFormat(int nFormat);
    void ShowStandard(int nStandard);
    void ShowSize(const profiles::ConversionSettings& settings);
    void ShowFieldStates(const profiles::ConversionSettings& settings);
    int Position(profiles::SettingList list) const;
    void SetPosition(profiles::SettingList list, int nPosition);

    QMap<int, QAbstractButton*> m_formatButtons;   // by format index
    QMap<int, QAbstractButton*> m_standardButtons; // by standard index
    QMap<int, QComboBox*> m_lists;                 // by control id
    QLineEdit* m_pWidth = nullptr;
    QLineEdit* m_pHeight = nullptr;
    QLineEdit* m_pMaxRate = nullptr;
    QLineEdit* m_pMinRate = nullptr;
    QCheckBox* m_pVariableBitRate = nullptr;
    QLineEdit* m_pOutputPath = nullptr;
};
