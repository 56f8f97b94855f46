#pragma once

// The built-in start values of every setting, table and creation parameter,
// set once at start-up before any settings file is read.

// defaults_init_settings, defaults_init_pens_line_types, drawing_init; returns 1.
int main_init_defaults();
void defaults_init_settings();
// Pens, line types and display colours. The screen output slots are
// installed by the display library: the program and every test that draws
// call outdev_init_screen_slots() (display/outdev.h) right after
// main_init_defaults().
void defaults_init_pens_line_types();
// The 14 paper formats; runs with every drawing_init, so "Custom" resets.
void defaults_init_paper_sizes();
