#pragma once
// The form view: a form on dialog template 101 that owns the record array, the source list, the
// settings controls, the information panel and one encoder job. Everything here runs on the main
// thread.
#include <QBasicTimer>
#include <QString>
#include <QStringList>
#include <QWidget>

#include <memory>
#include <string>
#include <vector>

#include "probe/ui/load_view.h"
#include "profiles/conversion_settings.h"
#include "sources/record_array.h"
#include "ui/dialog_builder.h"

class CEncoderJob;
class CFormSettings;
class CPreviewDlg;
class CSourceList;
class FileMediaFormat;
class QAbstractButton;
class QComboBox;
class QLabel;
class QPlainTextEdit;

class CVelmoraView : public QWidget, public ILoadView {
    Q_OBJECT
public:
    // Builds the form from template 101 of the current resource set and reads the output folder.
    explicit CVelmoraView(QWidget* parent = nullptr);
    ~CVelmoraView() override;
    CVelmoraView(const CVelmoraView&) = delete;
    CVelmoraView& operator=(const CVelmoraView&) = delete;

    // Shows the tip label when the media framework is missing, creates the encoder job, the list
    // columns and the settings lists, chooses MPEG-4 and NTSC and checks "Hide the tooltips".
    void OnInitialUpdate();

    // ---- Used by the Convert command and the conversion dialog --------------------------------
    int RowCount() const override;                 // rows of the source list, in list order
    FileMediaFormat* RecordAtRow(int row);         // the record a row shows (nullptr for a bad row)
    void FillRow(int row);                         // refreshes a row's texts from its record
    profiles::ConversionSettings Settings() const; // the settings record as the controls hold it
    CEncoderJob& Job();                            // the view's encoder job (one per view)
    // Applies Make size consistent to the width and height fields.
    void MakeSizeConsistent();

    // ---- Commands -------------------------------------------------------------------------------
    // Whether a command (Add 32801 .. Convert 32808) is enabled by the list's rules; false for
    // commands the view does not handle.
    bool IsCommandEnabled(int nCommand) const;
    // Runs a view command when it is one and enabled; false otherwise.
    bool OnCommand(int nCommand);
    void OnAdd();
    void OnRemove();
    void OnRemoveAll();
    void OnMoveUp();
    void OnMoveDown();
    void OnPreview();
    void OnConvert();
    void OnBrowse();
    void OnGo();

    // Runs the loading pass (the modal loading dialog) over the paths; nothing when there are none.
    void LoadSources(const std::vector<std::string>& paths);
    // Appends a record to the array, inserts a row at `nRow` showing its file name with the
    // record's index as item data, and fills the row. Returns the index, or -1 for a null record.
    int AppendSource(std::unique_ptr<FileMediaFormat> pRecord, int nRow) override;
    // The output folder field and the chosen target's extension, for the names of new sources.
    LoadTarget LoadOutputTarget() const override;
    QWidget* ListWidget() const override;

    // ---- Information panel ------------------------------------------------------------------
    void RefreshPanel();
    QString PanelText() const;

    // ---- Target column
    // --------------------------------------------------------------------------- Rows not
    // converted yet name the target with the extension of the chosen format; the name itself stays
    // (Convert chooses a free one when it runs). A converted row keeps what was written.
    void ShowTargetFormat(int nFormat);

    // ---- View rebuild after a language switch --------------------------------------------------
    void TakeOverSettings(const CVelmoraView& old);
    void TakeOverSources(const CVelmoraView& old);
    // Selects the rows the old view's list has selected, gives the focus to its focused row and
    // shows the first selected row in the panel; after TakeOverSources (the rows match).
    void TakeOverSelection(const CVelmoraView& old);

    // ---- Output folder and hidden help -------------------------------------------------------
    QString OutputFolder() const;
    bool HiddenHelpCheck() const;
    void SetHiddenHelpCheck(bool bChecked);
    // Starts the one-second help timer; when it fires it stops and asks for the tool tips
    // command (commandRequested(32792)). The frame calls it after the initial update when the
    // help window has not been closed before.
    void StartHelpTimer();
    bool IsHelpTimerActive() const { return m_helpTimer.isActive(); }

    // ---- Parts, for the frame and the tests ----------------------------------------------------
    CSourceList* List() const { return m_pList; }
    CFormSettings* SettingsControls() const { return m_pSettings; }
    const CRecordArray& Records() const { return m_records; }
    QWidget* Control(int nId) const { return m_built.controls.value(nId, nullptr); }
    // The form's size in pixels: template 101 at the scale its texts need in the dialog font.
    QSize FormSize() const { return m_formSize; }

signals:
    // The row count changed, so the enabled state of the list commands may have changed.
    void commandStatesChanged();
    // A command the frame handles: the tool tips command from the check box or the help timer,
    // Remove from the Delete key in the list.
    void commandRequested(int nCommand);
    // The Preview command made its dialog, which is about to run modally (tests drive it here).
    void previewOpened(CPreviewDlg* pDlg);

protected:
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    void timerEvent(QTimerEvent* event) override;
    // The form keeps its template size; a wider view centres it, so both margins match.
    void resizeEvent(QResizeEvent* event) override;

private:
    void ShowPanelText(const std::string& strText);
    void RemoveRowAndRecord(int nRow);

    BuiltDialog m_built;
    QSize m_formSize; // the template's size in pixels
    int m_nShift = 0; // how far the controls are moved right of their template place
    CSourceList* m_pList = nullptr;
    QPlainTextEdit* m_pInfo = nullptr;
    CFormSettings* m_pSettings = nullptr;
    QAbstractButton* m_pHideTips = nullptr;
    QLabel* m_pTipLabel = nullptr;
    CRecordArray m_records;
    std::unique_ptr<CEncoderJob> m_pJob;
    int m_nLastPanelRow = -1;
    QBasicTimer m_helpTimer;
};
