// The question, error and message boxes on a real display.

#include <gtk/gtk.h>

#include <string>
#include <vector>

#include "display/command_buffer.h"
#include "display/wait.h"
#include "gui_steps.h"
#include "shell/cmd_dispatch.h"
#include "shell/cmd_loop.h"
#include "shell/dlg_boxes.h"

namespace {

using MsgboxTest = GuiBoxTest;

const char* const labels[] = {"One", "Two", "Three", "Four", "Five"};

TEST_F(MsgboxTest, QuestionAnswersTheButtonPressed) {
  for (int count = 1; count <= 5; ++count) {
    for (int k = 1; k <= count; ++k) {
      std::string shown;
      when_shown(DLG_ASK, [&shown, k](GtkWidget* box) {
        shown = std::string(gtk_window_get_title(GTK_WINDOW(box))) + " " + label_texts(box);
        gtk_button_clicked(GTK_BUTTON(find_button(box, labels[k - 1])));
      });
      EXPECT_EQ(msgbox_ask("Which one?", count, labels), k) << count;
      EXPECT_EQ(msgbox_answer, k);
      EXPECT_EQ(shown.substr(0, 26), "Option request Which one?|") << count;
      EXPECT_EQ(dlg_slots[DLG_ASK], nullptr);  // the box is gone with its call
      EXPECT_EQ(wait_depth(), 0);
    }
  }
}

TEST_F(MsgboxTest, ButtonsBeyondTheCountAreNotShown) {
  bool fifth = true, second = false;
  when_shown(DLG_ASK, [&](GtkWidget* box) {
    second = find_button(box, "Two") != nullptr;
    fifth = find_button(box, "Five") != nullptr;
    gtk_button_clicked(GTK_BUTTON(find_button(box, "One")));
  });
  EXPECT_EQ(msgbox_ask("Two answers", 2, labels), 1);
  EXPECT_TRUE(second);
  EXPECT_FALSE(fifth);
}

TEST_F(MsgboxTest, ClosingOrDestroyingTheQuestionAnswersZero) {
  when_shown(DLG_ASK, [](GtkWidget* box) { gtk_window_close(GTK_WINDOW(box)); });
  EXPECT_EQ(msgbox_ask("Close me", 3, labels), 0);
  EXPECT_EQ(dlg_slots[DLG_ASK], nullptr);

  when_shown(DLG_ASK, [](GtkWidget* box) { gtk_widget_destroy(box); });
  EXPECT_EQ(msgbox_ask("Destroy me", 3, labels), 0);
  EXPECT_EQ(wait_depth(), 0);
}

// What a view's configure did to the innermost wait: a wake-up without a key.
gboolean old_configure(GtkWidget*, GdkEvent*, gpointer) {
  command_key = "nop";
  wait_end();
  return FALSE;
}

TEST_F(MsgboxTest, AWakeUpWithoutAKeyDoesNotEndTheQuestion) {
  GtkWidget* area = gtk_drawing_area_new();
  g_object_ref_sink(area);
  g_signal_connect(area, "configure-event", G_CALLBACK(old_configure), nullptr);
  GtkWidget* first_box = nullptr;
  when_shown(DLG_ASK, [&](GtkWidget* box) {
    first_box = box;
    GdkEvent* ev = gdk_event_new(GDK_CONFIGURE);
    gboolean handled = FALSE;
    g_signal_emit_by_name(area, "configure-event", ev, &handled);
    gdk_event_free(ev);
  });
  then([] { return true; },
       [&] {
         EXPECT_EQ(dlg_slots[DLG_ASK], first_box) << "the question ended or was rebuilt";
         gtk_button_clicked(GTK_BUTTON(find_button(first_box, "Two")));
       });
  EXPECT_EQ(msgbox_ask("Resize", 3, labels), 2);
  g_object_unref(area);
}

// A command key posted while the question waits ends it like closing, and
// the command loop never runs that key.
TEST_F(MsgboxTest, AForeignKeyAnswersZeroAndIsNotDispatched) {
  std::vector<CmdRow> saved = cmd_rows('p');
  cmd_install_shell_hooks();
  int answer = -1;
  bool other_ran = false;
  cmd_rows('p').push_back({"p_ask", [&] {
                             answer = msgbox_ask("Go on?", 2, labels);
                             quit_requested = 1;
                           }});
  cmd_rows('p').push_back({"p_other", [&] { other_ran = true; }});
  then([] { return wait_depth() == 1; }, [] { cmd_post_key(nullptr, "p_ask"); });
  when_shown(DLG_ASK, [](GtkWidget*) { cmd_post_key(nullptr, "p_other"); });

  cmd_loop();

  cmd_rows('p') = saved;
  EXPECT_EQ(answer, 0);
  EXPECT_FALSE(other_ran);
  EXPECT_STREQ(pending_command.c_str(), "nop");
}

// The question's button ends the question's own wait, not a request that
// runs inside it; the question returns when that request has ended.
TEST_F(MsgboxTest, AButtonEndsItsOwnQuestionWhileANestedWaitRuns) {
  std::vector<DlgRow> saved = dlg_rows();
  cmd_install_shell_hooks();
  std::vector<std::string> trace;
  dlg_rows().push_back({"z_d_nest", DlgAct::RUN, DLG_COUNT, nullptr,
                        [&trace] { trace.push_back("nested got " + std::string(cmd_wait_key())); }});
  GtkWidget* box = nullptr;
  when_shown(DLG_ASK, [&](GtkWidget* b) {
    box = b;
    cmd_post_key(nullptr, "z_d_nest");  // waits inside the question
  });
  then([] { return wait_depth() == 2; },
       [&] {
         trace.push_back("click");
         gtk_button_clicked(GTK_BUTTON(find_button(box, "Three")));
       });
  then([] { return true; },
       [&] {
         trace.push_back("still nested: " + std::to_string(wait_depth()));
         cmd_put_key("z_mb1");
       });

  int answer = msgbox_ask("Nested", 3, labels);

  dlg_rows() = saved;
  EXPECT_EQ(answer, 3);
  EXPECT_EQ(trace, (std::vector<std::string>{"click", "still nested: 2", "nested got z_mb1"}));
  EXPECT_EQ(wait_depth(), 0);
}

TEST_F(MsgboxTest, ANewMessageReplacesTheOldOne) {
  msgbox_error("first text");
  msgbox_error("second text");
  settle();
  auto errors = windows_titled("Error");
  ASSERT_EQ(errors.size(), 1u);
  EXPECT_EQ(label_texts(errors[0]), "second text|Close|");

  msgbox_message("Message", "a message");
  settle();
  EXPECT_TRUE(windows_titled("Error").empty());
  auto messages = windows_titled("Message");
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_EQ(label_texts(messages[0]), "a message|Close|");

  // Its Close button hides it through the dialog dispatch.
  cmd_install_shell_hooks();
  gtk_button_clicked(GTK_BUTTON(find_button(messages[0], "Close")));
  EXPECT_FALSE(gtk_widget_get_visible(messages[0]));
  EXPECT_EQ(dlg_slots[DLG_ERROR], messages[0]);
}

TEST_F(MsgboxTest, TextsInTheProgramsEncodingAreShownAsTheyRead) {
  msgbox_error(
      "Gr\xf6\xdf"
      "e");  // ISO-8859-1
  settle();
  auto errors = windows_titled("Error");
  ASSERT_EQ(errors.size(), 1u);
  EXPECT_EQ(label_texts(errors[0]), "Größe|Close|");
}

}  // namespace
