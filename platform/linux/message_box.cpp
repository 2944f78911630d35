#include "platform/linux/message_box.h"

#include <gtk/gtk.h>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace platform::linux_x11 {
namespace {

bool gtkStarted = false;

// GTK breaks lines at LF; a CR would show as a box.
std::string withoutCarriageReturns(const std::string& text) {
    std::string out;
    out.reserve(text.size());
    for (char c : text)
        if (c != '\r') out += c;
    return out;
}

}  // namespace

bool startBoxes() {
    // An accessibility bus nobody answers can stall GTK's start for 25 s.
    setenv("NO_AT_BRIDGE", "1", 0);
    // Boxes need no OpenGL, and probing for it maps Mesa and LLVM: 55 MB.
    setenv("GDK_GL", "disable", 0);
    g_set_prgname("christmas-card");
    gtkStarted = gtk_init_check(nullptr, nullptr);
    return gtkStarted;
}

void showMessageBox(const runtime::MessageBoxSpec& box) {
    const std::string text = withoutCarriageReturns(box.text);
    if (!gtkStarted) {
        std::fprintf(stderr, "%s\n%s\n", box.title.c_str(), text.c_str());
        return;
    }
    const GtkMessageType type = box.icon == runtime::BoxIcon::stop ? GTK_MESSAGE_ERROR : GTK_MESSAGE_OTHER;
    GtkWidget* dialog = gtk_message_dialog_new(nullptr, GTK_DIALOG_MODAL, type, GTK_BUTTONS_OK, "%s", text.c_str());
    gtk_window_set_title(GTK_WINDOW(dialog), box.title.c_str());
    gtk_window_set_keep_above(GTK_WINDOW(dialog), TRUE);   // never under the card's top-most window
    gtk_window_set_position(GTK_WINDOW(dialog), GTK_WIN_POS_CENTER);
    gtk_dialog_set_default_response(GTK_DIALOG(dialog), GTK_RESPONSE_OK);
    if (GtkWidget* ok = gtk_dialog_get_widget_for_response(GTK_DIALOG(dialog), GTK_RESPONSE_OK))
        gtk_widget_grab_focus(ok);
    gtk_dialog_run(GTK_DIALOG(dialog));
    gtk_widget_destroy(dialog);
    // Let the box go from the screen before the next one comes.
    while (gtk_events_pending()) gtk_main_iteration_do(FALSE);
}

}  // namespace platform::linux_x11
