#include "window/fltk_window.h"

#include <FL/Fl.H>
#include <FL/Fl_Box.H>
#include <FL/Fl_Button.H>
#include <FL/Fl_Double_Window.H>
#include <FL/Fl_File_Chooser.H>
#include <FL/Fl_Return_Button.H>
#include <FL/filename.H>
#include <FL/fl_ask.H>
#include <FL/fl_draw.H>
#include <FL/x.H>

#include <cstdio>

#include "driver/encoding.h"
#include "window/window_layout.h"

namespace veltas::window {

namespace {

namespace w = layout;

// The framed text area. It draws its text itself: a widget label would take
// "@" as the start of a symbol ("Fuses  @ 2007h") and cut the text there.
class TStatusArea : public Fl_Box {
 public:
  TStatusArea(int x, int y, int w, int h) : Fl_Box(FL_UP_BOX, x, y, w, h, nullptr) {
    labelfont(FL_HELVETICA);
    labelsize(14);
  }
  void Text(std::string text) {
    Shown = std::move(text);
    redraw();
  }
  const std::string& Text() const { return Shown; }

 protected:
  void draw() override {
    draw_box();
    const int inset = Fl::box_dx(box()) + 3;
    fl_font(labelfont(), labelsize());
    fl_color(active_r() ? labelcolor() : fl_inactive(labelcolor()));
    fl_draw(Shown.c_str(), x() + inset, y() + inset, w() - 2 * inset, h() - 2 * inset,
            FL_ALIGN_TOP_LEFT | FL_ALIGN_INSIDE | FL_ALIGN_WRAP | FL_ALIGN_CLIP, nullptr, 0);
  }

 private:
  std::string Shown;
};

// German texts of the toolkit's file chooser, as the system's dialog has
// them on the machines the program was written for.
void GermanChooserTexts() {
  Fl_File_Chooser::filename_label = "Dateiname:";
  Fl_File_Chooser::show_label = "Typ:";  // the chooser leaves room for a short word only
  Fl_File_Chooser::all_files_label = "alle Dateien (*)";
  Fl_File_Chooser::custom_filter_label = "Eigener Filter";
  Fl_File_Chooser::existing_file_label = "Bitte eine vorhandene Datei wählen!";
  Fl_File_Chooser::favorites_label = "Favoriten";
  Fl_File_Chooser::add_favorites_label = "Zu Favoriten hinzufügen";
  Fl_File_Chooser::manage_favorites_label = "Favoriten verwalten";
  Fl_File_Chooser::filesystems_label = "Dateisysteme";
  Fl_File_Chooser::new_directory_label = "Neuer Ordner?";
  Fl_File_Chooser::new_directory_tooltip = "Neuen Ordner anlegen";
  Fl_File_Chooser::preview_label = "Vorschau";
  Fl_File_Chooser::hidden_label = "Versteckte Dateien";
  fl_cancel = "Abbrechen";
  fl_ok = "OK";
}

}  // namespace

struct TFltkWindow::TImpl {
  Fl_Double_Window* Window = nullptr;
  TStatusArea* Text = nullptr;
  Fl_Return_Button* Ok = nullptr;
  Fl_Button* Search = nullptr;
  Fl_File_Chooser* Chooser = nullptr;
  bool IsAlive = false;
  std::string Title;
  std::string Chosen;

  ~TImpl() { delete Window; }

  void Close() {
    IsAlive = false;
    if (Chooser) Chooser->hide();
    if (Window) Window->hide();
  }

  // The file dialog: runs until a file is chosen, the dialog is cancelled
  // or the status window is closed. The status window stays usable.
  void RunDialog() {
    if (Chooser) {
      Chooser->show();  // already open: bring it to the front
      return;
    }
    GermanChooserTexts();
    // The chooser keeps pointers to both texts.
    std::string filter = w::FltkFilter();
    std::string title(w::kDialogTitle);
    Fl_File_Chooser chooser(".", filter.c_str(), Fl_File_Chooser::SINGLE, title.c_str());
    chooser.ok_label("Öffnen");
    chooser.preview(0);  // the system's dialog has no preview
    // The dialog has no owner: the status window stays usable (and can be
    // closed) while it is open.
    chooser.newButton->window()->clear_modal_states();
    Chooser = &chooser;
    chooser.show();
    while (IsAlive && chooser.shown()) Fl::wait();
    Chooser = nullptr;
    if (!IsAlive) return;
    // A chooser closed without a choice can still hold its directory; a
    // name typed without a directory is in the one the chooser shows.
    const char* value = chooser.value();
    if (!value || !*value || fl_filename_isdir(value)) return;
    std::string name = value;
    if (name[0] != '/') {
      std::string dir = chooser.directory();
      name = dir + (dir.empty() || dir.back() == '/' ? "" : "/") + name;
    }
    Chosen = name;  // no length limit here: file names are never cut on this system
  }

  static void OnOk(Fl_Widget*, void* self) { static_cast<TImpl*>(self)->Close(); }
  static void OnSearch(Fl_Widget*, void* self) { static_cast<TImpl*>(self)->RunDialog(); }
  static void OnWindow(Fl_Widget*, void* self) {
    // The close box closes the window; Escape does not (it doesn't on
    // Windows either).
    if (Fl::event() == FL_SHORTCUT && Fl::event_key() == FL_Escape) return;
    static_cast<TImpl*>(self)->Close();
  }
};

TFltkWindow::TFltkWindow() : Impl(std::make_unique<TImpl>()) {}

TFltkWindow::~TFltkWindow() {
  // Let the X server see the window go before the next one comes.
  if (Impl->Window) {
    Impl->Window->hide();
    if (fl_display) Fl::check();
  }
}

driver::TCreateResult TFltkWindow::Create(std::string_view title) {
  // Open the display ourselves: the toolkit ends the process when it can't.
  if (!fl_display) {
    Display* display = XOpenDisplay(nullptr);
    if (!display) return driver::TCreateResult::NoHandle;
    fl_open_display(display);
  }
  int workX, workY, workW, workH;
  Fl::screen_work_area(workX, workY, workW, workH, 0);
  w::TPoint at = w::CenteredPosition(workW, workH);

  Impl->Title = driver::AnsiToUtf8(title);
  Fl_Group::current(nullptr);
  auto* win = new Fl_Double_Window(at.X, at.Y, w::kClientWidth, w::kClientHeight);
  Impl->Window = win;
  win->copy_label(Impl->Title.c_str());
  win->xclass(std::string(w::kClassName).c_str());
  win->callback(TImpl::OnWindow, Impl.get());

  w::TRect t = w::TextAreaRect(win->w(), win->h());
  Impl->Text = new TStatusArea(t.X, t.Y, t.W, t.H);
  w::TRect ok = w::OkButtonRect(win->w(), win->h());
  Impl->Ok = new Fl_Return_Button(ok.X, ok.Y, ok.W, ok.H);
  Impl->Ok->copy_label(std::string(w::kOkText).c_str());
  Impl->Ok->callback(TImpl::OnOk, Impl.get());
  win->end();
  win->resizable(nullptr);  // a fixed size, like the Windows window
  win->show();
  Impl->IsAlive = true;
  Fl::check();
  return driver::TCreateResult::Ok;
}

void TFltkWindow::AddSearchButton() {
  if (!Impl->Window || Impl->Search) return;
  Fl_Double_Window* win = Impl->Window;
  w::TRect r = w::SearchButtonRect(win->w(), win->h());
  win->begin();
  Impl->Search = new Fl_Button(r.X, r.Y, r.W, r.H);
  win->end();
  Impl->Search->copy_label(std::string(w::kSearchText).c_str());
  Impl->Search->callback(TImpl::OnSearch, Impl.get());
  Impl->Search->redraw();
}

void TFltkWindow::DisableSearchButton() {
  if (Impl->Search) Impl->Search->deactivate();
}

void TFltkWindow::SetText(const driver::TStatusText& text) {
  if (Impl->Text) Impl->Text->Text(w::WithLineEnds(text.Utf8(), "\n"));
}

void TFltkWindow::PumpMessages() {
  if (fl_display) Fl::check();
}

void TFltkWindow::WaitForEvent() {
  if (Impl->IsAlive) Fl::wait();
}

bool TFltkWindow::Alive() const { return Impl->IsAlive; }

std::string TFltkWindow::ChosenSourceName() { return Impl->Chosen; }

void TFltkWindow::MessageBox(std::string_view text, std::string_view caption) {
  if (!fl_display) {
    std::fprintf(stderr, "%.*s: %.*s\n", static_cast<int>(caption.size()), caption.data(),
                 static_cast<int>(text.size()), text.data());
    return;
  }
  std::string captionText(caption), message(text);
  const char* close = fl_close;
  fl_close = "OK";
  fl_message_title(captionText.c_str());
  fl_message("%s", message.c_str());
  fl_close = close;
}

TFltkWindow::TView TFltkWindow::View() const {
  return {Impl->Window, Impl->Text, Impl->Ok, Impl->Search, Impl->Chooser};
}

std::string TFltkWindow::ShownText() const { return Impl->Text ? Impl->Text->Text() : std::string(); }

}  // namespace veltas::window
