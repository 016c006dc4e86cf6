// zelvo-gallery OUTPUT_FOLDER
//
// Paints each indicator pane into bitmaps off screen, at the main window's
// default proportions, large and tiny, in a range of states, and writes one
// PNG per picture into OUTPUT_FOLDER (created when missing). Needs a display
// (run it under xvfb-run on a headless machine). Exit code 0 on success,
// 1 when a picture could not be written, 2 on a usage error.
//
// The pictures are made at the display's scale, as the screen would show
// them: run with GDK_SCALE=2 a 288 x 240 pane area gives a 576 x 480
// picture, so that HiDPI sharpness can be judged against a scale-1 picture
// enlarged.

#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include <wx/app.h>
#include <wx/dcmemory.h>
#include <wx/filename.h>
#include <wx/frame.h>
#include <wx/image.h>
#include <wx/settings.h>
#include <wx/stdpaths.h>

#include "HarmonicsDialogPicture.h"
#include "app/TunerFont.h"
#include "app/logic/ResourcePaths.h"
#include "indicators/EnergyIndicator.h"
#include "indicators/FineIndicator.h"
#include "indicators/GlobalIndicator.h"
#include "tuning/NoteTable.h"
#include "units/Units.h"

namespace {

// The pane area of the main window at its minimum height and in a large
// window, with the fractions the window places its panes by.
struct PaneArea {
    const char* name;
    int width;
    int height;
};
constexpr PaneArea kDefaultArea{"default", 288, 240};
constexpr PaneArea kLargeArea{"large", 1200, 1000};

wxSize FineSize(const PaneArea& a) {
    return {static_cast<int>(0.82 * a.width), static_cast<int>(0.98 * a.height)};
}
wxSize GlobalSize(const PaneArea& a) {
    return {static_cast<int>(0.09 * a.width), static_cast<int>(0.98 * a.height)};
}
wxSize EnergySize(const PaneArea& a) {
    return {static_cast<int>(0.05 * a.width), static_cast<int>(0.98 * a.height)};
}

class Gallery {
public:
    Gallery(wxFrame* host, const wxString& folder)
        : m_host(host), m_folder(folder), m_scale(host->GetContentScaleFactor()) {}

    int failures() const { return m_failures; }

    // A bitmap of `size` in logical pixels at the display's scale, like the
    // screen a pane paints on. A zero-sized pane still paints; the picture
    // gets one pixel.
    wxBitmap Canvas(wxSize size) const {
        wxBitmap bitmap;
        bitmap.CreateWithDIPSize(wxSize(std::max(size.x, 1), std::max(size.y, 1)), m_scale, 24);
        return bitmap;
    }

    // Paints one picture of `size` with `paint` and saves it as name.png.
    void Save(const wxString& name, wxSize size, const std::function<void(wxDC&)>& paint) {
        wxBitmap bitmap = Canvas(size);
        {
            wxMemoryDC dc(bitmap);
            dc.SetBackground(*wxWHITE_BRUSH);
            dc.Clear();
            paint(dc);
        }
        const wxString path = wxFileName(m_folder, name + ".png").GetFullPath();
        if (!bitmap.ConvertToImage().SaveFile(path, wxBITMAP_TYPE_PNG)) {
            std::fprintf(stderr, "zelvo-gallery: could not write %s\n",
                         static_cast<const char*>(path.utf8_str()));
            ++m_failures;
        } else {
            std::printf("%s\n", static_cast<const char*>(path.utf8_str()));
        }
    }

    CFineIndicator* MakeFine(wxSize size) {
        auto* pane = new CFineIndicator(m_host, wxID_ANY, wxPoint(0, 0), size);
        pane->SetClientSize(size);
        pane->SetCaptions("Note", "Cents");
        pane->SetScaleLabels({"-50", "-25", "0", "+25", "+50"});
        return pane;
    }

    CGlobalIndicator* MakeGlobal(wxSize size) {
        auto* pane = new CGlobalIndicator(m_host, wxID_ANY, wxPoint(0, 0), size);
        pane->SetClientSize(size);
        pane->SetNoteTable(DefaultNoteTable());
        return pane;
    }

    CEnergyIndicator* MakeEnergy(wxSize size) {
        auto* pane = new CEnergyIndicator(m_host, wxID_ANY, wxPoint(0, 0), size);
        pane->SetClientSize(size);
        return pane;
    }

    void FinePictures(const wxString& prefix, wxSize size) {
        CFineIndicator* pane = MakeFine(size);
        struct State {
            const char* name;
            float position;
            float fade;
            const char* note;
            const char* cents;
        };
        const State states[] = {
            {"minus1-fresh", -1.0f, 0.0f, "A4", "-50.0"}, {"zero-fresh", 0.0f, 0.0f, "A4", "+00.0"},
            {"plus1-fresh", 1.0f, 0.0f, "A4", "+50.0"},   {"small-fresh", 0.066f, 0.0f, "A4", "+03.3"},
            {"small-half", 0.066f, 0.5f, "C#4", "+03.3"}, {"small-faded", 0.066f, 1.0f, "A4", "+03.3"},
            {"minus1-faded", -1.0f, 1.0f, "Bb3", "-12"},  {"empty", 0.0f, 1.0f, "", ""},
        };
        for (const State& s : states) {
            pane->position = s.position;
            pane->fade = s.fade;
            pane->SetTexts(s.note, s.cents);
            Save(prefix + "-" + s.name, size, [pane](wxDC& dc) { pane->PaintInto(dc); });
        }
        pane->smoothing = false;
        pane->position = 0.5f;
        pane->fade = 0.0f;
        Save(prefix + "-no-smoothing", size, [pane](wxDC& dc) { pane->PaintInto(dc); });
        pane->Destroy();
    }

    void GlobalPictures(const wxString& prefix, wxSize size) {
        CGlobalIndicator* pane = MakeGlobal(size);
        auto save = [&](const wxString& name) {
            Save(prefix + "-" + name, size, [pane](wxDC& dc) { pane->PaintInto(dc); });
        };
        pane->SetNotes(NoteSet{});
        pane->value = (60 - Units::A4Note) * 100.0f;  // C4
        save("empty-preset-at-C4");
        // Guitar strings E2 A2 D3 G3 B3 E4, the pitch between A2 and D3.
        pane->SetNotes(NoteSet{40, 45, 50, 55, 59, 64});
        pane->value = -2150.0f;
        save("guitar-between-A2-D3");
        pane->value = (45 - Units::A4Note) * 100.0f;
        save("guitar-on-A2");
        pane->SetTranspose(2);
        save("guitar-on-A2-transposed");
        pane->SetTranspose(0);
        pane->SetNotes(NoteSet{Units::A4Note});
        pane->value = 0.0f;
        save("single-A4");
        NoteSet chromatic;
        for (int n = 48; n <= 72; ++n) chromatic.insert(n);
        pane->SetNotes(chromatic);
        pane->value = -300.0f;
        save("chromatic-C3-C5");
        pane->SetNotes(NoteSet{40, 45, 50, 55, 59, 64});
        pane->value = 3000.0f;
        save("guitar-pitch-above-range");
        pane->Destroy();
    }

    void EnergyPictures(const wxString& prefix, wxSize size) {
        CEnergyIndicator* pane = MakeEnergy(size);
        struct State {
            const char* name;
            float level;
            float floor;
        };
        const State states[] = {
            {"level-below-floor", 0.3f, 0.5f}, {"level-above-floor", 0.8f, 0.5f},
            {"level-on-floor", 0.5f, 0.5f},    {"level-0", 0.0f, 0.5f},
            {"level-1", 1.0f, 0.5f},           {"floor-top", 0.6f, 1.0f},
        };
        for (const State& s : states) {
            pane->level = s.level;
            pane->floorPosition = s.floor;
            Save(prefix + "-" + s.name, size, [pane](wxDC& dc) { pane->PaintFace(dc); });
        }
        pane->Destroy();
    }

    // The three panes placed in a pane area as the main window places them.
    void MainWindowPicture(const PaneArea& area) {
        CEnergyIndicator* energy = MakeEnergy(EnergySize(area));
        CFineIndicator* fine = MakeFine(FineSize(area));
        CGlobalIndicator* global = MakeGlobal(GlobalSize(area));
        energy->level = 0.7f;
        energy->floorPosition = 0.5f;
        fine->position = 0.066f;
        fine->fade = 0.0f;
        fine->SetTexts("A4", "+03.3");
        global->SetNotes(NoteSet{40, 45, 50, 55, 59, 64});
        global->value = 3.3f;
        const wxSize areaSize(area.width, area.height);
        Save(wxString("window-") + area.name, areaSize, [&](wxDC& dc) {
            dc.SetBrush(wxBrush(wxSystemSettings::GetColour(wxSYS_COLOUR_BTNFACE)));
            dc.SetPen(*wxTRANSPARENT_PEN);
            dc.DrawRectangle(0, 0, area.width, area.height);
            auto place = [&](double fx, double fy, wxSize size, auto&& paint) {
                wxBitmap bitmap = Canvas(size);
                {
                    wxMemoryDC paneDc(bitmap);
                    paint(paneDc);
                }
                dc.DrawBitmap(bitmap, static_cast<int>(fx * area.width), static_cast<int>(fy * area.height));
            };
            place(0.01, 0.01, EnergySize(area), [&](wxDC& d) { energy->PaintFace(d); });
            place(0.07, 0.01, FineSize(area), [&](wxDC& d) { fine->PaintInto(d); });
            place(0.90, 0.01, GlobalSize(area), [&](wxDC& d) { global->PaintInto(d); });
        });
        energy->Destroy();
        fine->Destroy();
        global->Destroy();
    }

private:
    wxFrame* m_host;
    wxString m_folder;
    double m_scale;
    int m_failures = 0;
};

}  // namespace

class GalleryApp : public wxApp {
public:
    bool OnInit() override {
        if (argc != 2) {
            std::fprintf(stderr, "usage: zelvo-gallery OUTPUT_FOLDER\n");
            m_exitCode = 2;
            return true;
        }
        m_folder = argv[1];
        return true;
    }

    int OnRun() override {
        if (m_exitCode != 0) return m_exitCode;
        if (!wxFileName::Mkdir(m_folder, wxS_DIR_DEFAULT, wxPATH_MKDIR_FULL)) {
            std::fprintf(stderr, "zelvo-gallery: cannot create %s\n",
                         static_cast<const char*>(m_folder.utf8_str()));
            return 1;
        }
        wxInitAllImageHandlers();
        // The note names of the harmonics graph are drawn in the private font.
        const wxStandardPaths& paths = wxStandardPaths::Get();
        if (!LoadTunerFont(ResourcePaths::ForExecutable(paths.GetExecutablePath().utf8_string(),
                                                        paths.GetResourcesDir().utf8_string()),
                           nullptr))
            return 1;
        // A frame that is never shown hosts the panes; they are painted
        // into memory bitmaps, not onto the screen.
        auto* host = new wxFrame(nullptr, wxID_ANY, "zelvo-gallery", wxDefaultPosition, wxSize(1400, 1100));
        Gallery gallery(host, m_folder);

        for (const PaneArea& area : {kDefaultArea, kLargeArea}) {
            gallery.FinePictures(wxString("fine-") + area.name, FineSize(area));
            gallery.GlobalPictures(wxString("global-") + area.name, GlobalSize(area));
            gallery.EnergyPictures(wxString("energy-") + area.name, EnergySize(area));
            gallery.MainWindowPicture(area);
        }
        gallery.FinePictures("fine-tiny", wxSize(40, 30));
        gallery.GlobalPictures("global-tiny", wxSize(6, 20));
        gallery.EnergyPictures("energy-tiny", wxSize(3, 6));
        gallery.FinePictures("fine-zero", wxSize(0, 0));
        gallery.GlobalPictures("global-zero", wxSize(0, 0));
        gallery.EnergyPictures("energy-zero", wxSize(0, 0));

        host->Destroy();
        const bool dialogSaved = SaveHarmonicsDialogPicture(m_folder, "harmonics-dialog");
        return gallery.failures() == 0 && dialogSaved ? 0 : 1;
    }

private:
    wxString m_folder;
    int m_exitCode = 0;
};

wxIMPLEMENT_APP(GalleryApp);
