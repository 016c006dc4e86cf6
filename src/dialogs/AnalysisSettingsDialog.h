#pragma once
// "Edit Tuning Settings": middle A in Hz and in cents from 440 Hz (kept in
// step), the temperament and its key, the stretch table and the
// transposition, on a copy of the settings.
//
// The two "Edit..." buttons hand the temperaments or the stretch tables to
// an editor the caller supplies; without one the button is disabled. A list
// an editor saves is taken at once, so it stays even when this dialog ends
// with Cancel (KeptOnCancel()), while the selections made here count only
// with OK.

#include <functional>
#include <optional>

#include "dialogs/DialogBase.h"
#include "persistence/SettingsFiles.h"

class wxButton;
class wxChoice;
class wxTextCtrl;

// An editor of one list: shown modally over `parent` on a copy of the list;
// the edited list when it ends with Save, nothing when it is cancelled.
using TemperamentEditor =
    std::function<std::optional<TemperamentList>(wxWindow* parent, const TemperamentList&)>;
using StretchEditor = std::function<std::optional<StretchList>(wxWindow* parent, const StretchList&)>;

struct TuningListEditors {
    TemperamentEditor temperaments;
    StretchEditor stretches;
};

class CAnalysisSettingsDialog : public CValueDialog<SettingsFiles> {
public:
    static constexpr int DialogId = 191;
    enum ControlId {
        HzFieldId = 1092,
        CentsFieldId = 1093,
        TemperamentListId = 1063,
        KeyListId = 1060,
        EditTemperamentsId = 1058,
        StretchListId = 1062,
        EditStretchesId = 1057,
        TransposeListId = 1061,
    };

    CAnalysisSettingsDialog(wxWindow* parent, const SettingsFiles& settings, TuningListEditors editors = {});

    // The caller's settings with every list an editor saved: what stands
    // when the dialog ends other than with OK.
    const SettingsFiles& KeptOnCancel() const { return m_keptOnCancel; }

    bool TransferDataFromWindow() override;

private:
    void CreateMiddleAGroup();
    void CreateTemperamentGroup();
    void CreateStretchGroup();
    void CreateTransposeGroup();
    void ShowInitialValues();
    // Refills the temperament and stretch lists from the copy.
    void FillLists();
    // The list selections into the copy, so an editor starts from them.
    void TakeSelections();

    void OnHzText(wxCommandEvent& event);
    void OnCentsText(wxCommandEvent& event);
    void OnEditTemperaments(wxCommandEvent& event);
    void OnEditStretches(wxCommandEvent& event);

    TuningListEditors m_editors;
    SettingsFiles m_keptOnCancel;
    wxTextCtrl* m_hz = nullptr;
    wxTextCtrl* m_cents = nullptr;
    wxChoice* m_temperaments = nullptr;
    wxChoice* m_keys = nullptr;
    wxChoice* m_stretches = nullptr;
    wxChoice* m_transpose = nullptr;
    wxButton* m_editTemperaments = nullptr;
    wxButton* m_editStretches = nullptr;
};
