// Every dialog window in German, as a German user opens it: its title bar
// reads the translation (valid UTF-8, converted once), its option menus show
// whole labels, and Escape closes it as its Close button does.

#include <cctype>
#include <set>
#include <string>
#include <vector>

#include "dialog_fixture.h"
#include "dialogs/dlg_small.h"
#include "model/nls.h"
#include "shell/fontchange.h"
#include "shell/latin1.h"
#include "support/german_table.h"

namespace {

class GermanDialogs : public DialogTest {
 protected:
  void SetUp() override {
    nls_set_lookup(german_lookup);
    DialogTest::SetUp();
    gui_font_add_rows();
  }
  void TearDown() override {
    DialogTest::TearDown();
    nls_set_lookup(nullptr);
  }

  // Presses and releases Escape in window, as the X server's key events arrive.
  static void press_escape(GtkWidget* window) {
    GdkWindow* win = gtk_widget_get_window(window);
    ASSERT_NE(win, nullptr);
    GdkDisplay* display = gdk_window_get_display(win);
    GdkKeymapKey* keys = nullptr;
    gint n = 0;
    guint16 code = 0;
    if (gdk_keymap_get_entries_for_keyval(gdk_keymap_get_for_display(display), GDK_KEY_Escape, &keys, &n) &&
        n > 0)
      code = static_cast<guint16>(keys[0].keycode);
    g_free(keys);
    for (GdkEventType type : {GDK_KEY_PRESS, GDK_KEY_RELEASE}) {
      GdkEvent* e = gdk_event_new(type);
      e->key.window = GDK_WINDOW(g_object_ref(win));
      e->key.time = GDK_CURRENT_TIME;
      e->key.keyval = GDK_KEY_Escape;
      e->key.hardware_keycode = code;
      e->key.string = g_strdup("");
      gdk_event_set_device(e, gdk_seat_get_keyboard(gdk_display_get_default_seat(display)));
      gdk_display_put_event(display, e);
      gdk_event_free(e);
    }
    settle();
  }

  static bool shown(DlgId slot) {
    auto* w = static_cast<GtkWidget*>(dlg_slots[slot]);
    return w && gtk_widget_get_visible(w);
  }

  // The texts of the option menus (combos without an entry) below w.
  static void option_texts(GtkWidget* w, std::vector<std::string>& out) {
    if (GTK_IS_COMBO_BOX(w) && !gtk_combo_box_get_has_entry(GTK_COMBO_BOX(w))) {
      GtkTreeModel* model = gtk_combo_box_get_model(GTK_COMBO_BOX(w));
      GtkTreeIter it;
      const int column = gtk_combo_box_get_entry_text_column(GTK_COMBO_BOX(w));
      if (GTK_IS_COMBO_BOX_TEXT(w) && model && gtk_tree_model_get_column_type(model, 0) == G_TYPE_STRING)
        for (bool ok = gtk_tree_model_get_iter_first(model, &it); ok;
             ok = gtk_tree_model_iter_next(model, &it)) {
          gchar* s = nullptr;
          gtk_tree_model_get(model, &it, column < 0 ? 0 : column, &s, -1);
          out.emplace_back(s ? s : "");
          g_free(s);
        }
    }
    if (GTK_IS_CONTAINER(w))
      gtk_container_forall(
          GTK_CONTAINER(w),
          [](GtkWidget* c, gpointer l) { option_texts(c, *static_cast<std::vector<std::string>*>(l)); },
          &out);
  }
};

// A few titles with letters beyond ASCII, spelt out.
TEST_F(GermanDialogs, TitlesWithUmlautsReadAsWritten) {
  const struct {
    const char* open;
    DlgId slot;
    const char* title;
  } cases[] = {
      {"z_d_scale", DLG_SCALE, "Zeichnungsmaßstab:"},
      {"z_d_aspect", DLG_ASPECT, "Seitenverhältnis"},
      {"z_d_printscale", DLG_PRINTSCALE, "Druckmaßstab"},
      {"z_d_door", DLG_DOOR, "Tür"},
      {"z_d_dim", DLG_DIM, "Maß"},
      {"z_d_textsize", DLG_TEXTSIZE, "Textgröße"},
  };
  for (const auto& c : cases) {
    auto* w = key(c.open, c.slot);
    ASSERT_NE(w, nullptr) << c.open;
    EXPECT_STREQ(gtk_window_get_title(GTK_WINDOW(w)), c.title) << c.open;
  }
}

// Every dialog the dialog table opens: the title is a German text of the
// table (or a word both languages share), no option label is cut short, and
// Escape closes the window.
TEST_F(GermanDialogs, EveryDialogIsTitledInGermanAndClosesOnEscape) {
  const GermanTable& de = german_table();
  std::vector<DlgRow> opening;
  for (const DlgRow& r : dlg_rows())
    if ((r.action == DlgAct::OPEN || r.action == DlgAct::REBUILD) && r.build) opening.push_back(r);
  ASSERT_GE(opening.size(), 25u);
  int tried = 0;
  for (const DlgRow& r : opening) {
    auto* w = key(r.key, r.slot);
    if (!w || !shown(r.slot)) continue;  // a dialog that needs a selection or an element first
    ++tried;
    const std::string title = gtk_window_get_title(GTK_WINDOW(w)) ? gtk_window_get_title(GTK_WINDOW(w)) : "";
    EXPECT_TRUE(utf8_valid(title)) << r.key;
    EXPECT_TRUE(de.german.count(title) || german_same_words().count(title))
        << r.key << ": the title \"" << title << "\" is not a German text of the table";

    // A label cut inside a word: it ends in a letter where a German text
    // of the table goes on with one.
    auto letter = [](char c) { return std::isalpha(static_cast<unsigned char>(c)) || (c & 0x80); };
    std::vector<std::string> options;
    option_texts(w, options);
    for (const std::string& o : options) {
      if (o.size() < 4 || de.german.count(o) || !letter(o.back())) continue;
      for (const std::string& g : de.german)
        EXPECT_FALSE(g.size() > o.size() && g.compare(0, o.size(), o) == 0 && letter(g[o.size()]))
            << r.key << ": the option \"" << o << "\" is \"" << g << "\" cut short";
    }

    press_escape(w);
    EXPECT_FALSE(shown(r.slot)) << r.key << ": Escape left the window \"" << title << "\" open";
  }
  EXPECT_GE(tried, 25);
}

TEST_F(GermanDialogs, OptionLabelsAreNotCut) {
  int var = 0;
  GtkWidget* menu =
      dlg_small_options(&var, {nls_mark("Selected objects"), nls_mark("Off")}, true, nullptr, nullptr);
  g_object_ref_sink(menu);
  EXPECT_EQ(listed(menu), (std::vector<std::string>{"Ausgewählte Objekte", "Aus"}));
  g_object_unref(menu);
}

}  // namespace
