#pragma once
// "Edit Temperaments": the temperament editor, which also reads a temperament
// from a Scala scale file (Import...) and writes the selected one as one
// (Export...).

#include <functional>

#include "dialogs/OffsetListDialog.h"

// Asks the user for a file: `save` chooses a file to write (suggesting
// `suggestedName`), otherwise one to read. Empty when the user cancelled.
using ScaleFileChooser = std::function<wxString(bool save, const wxString& suggestedName)>;

class CTemperamentDialog : public COffsetListDialog<TemperamentList> {
public:
    enum ControlId {
        DialogId = 198,
        NewId = 1104,
        DeleteId = 1105,
        UpId = 1106,
        DownId = 1107,
        SaveId = 1118,
        ImportId = 1119,
        ExportId = 1120
    };

    CTemperamentDialog(wxWindow* parent, const TemperamentList& list);

    // Replaces the file dialogs.
    void SetFileChooser(ScaleFileChooser chooser) { m_choose = std::move(chooser); }

protected:
    Temperament NewRecord() const override;

private:
    wxString ChooseFile(bool save, const wxString& suggestedName);
    void OnImport();
    void OnExport();

    ScaleFileChooser m_choose;
};
