#pragma once

// An output-device writer for tests: each call of a slot it took becomes
// one line of text, so a test of a drawing pass or of a writer is "fixture
// drawing, recorded text, compare" (inline or with a golden file,
// support/golden_file.h). Numbers are written the same in every locale.
//
// Lines, by slot (P/L is pen and line type, x,y a point):
//   line P/L x1,y1 x2,y2
//   arc P/L centre=x,y radii=rx,ry sweep=s start=a rotation=r
//   bezier P/L x0,y0 x1,y1 x2,y2 x3,y3
//   fill rgb=r,g,b x,y x,y ... (a contour's end marker as "end")
//   text P/L at=x,y angle=a height=h width=w spacing=s line_spacing=l fit=f
//        align=n font="F" "TEXT"
//   dimension P/L kind=k format=f end_mark=m direction=a figure=P/L size=s
//        width=w space=s chain_space=c help=h font="F", then per entry
//        [x,y measured=x,y length=l override=o second=s shift=dx,dy]
//   room P/L label=x,y font="F" angle=a height=h width=w spacing=s
//        line_spacing=l description="D" number="N" factor=f z=base,top
//        show=area,volume,description,number x,y ... (ends as "end")
// A draw mode other than normal follows as " [selected]", " [erase]" or
// " [other layer]". Texts are quoted with \" \\ \n and \xHH for other bytes
// outside printable ASCII.

#include <cstdint>
#include <string>

#include "display/outdev.h"

class RecordingDevice {
 public:
  // The slots it takes; the others keep what was installed, usually the
  // break-downs, which hand their elements on to the recorded slots.
  enum Slot : unsigned {
    DIMENSION = 1,
    ROOM = 2,
    BEZIER = 4,
    TEXT = 8,
    ARC = 16,
    LINE = 32,
    FILL = 64,
    ALL = 127,
    // What a writer of lines, arcs, curves and areas takes itself.
    STROKES = BEZIER | ARC | LINE | FILL,
  };

  // Installs the slots and the active flag until it is destroyed (1 for a
  // printer or exporter, 0 to watch what the screen slots do).
  explicit RecordingDevice(unsigned slots = ALL, uint8_t active = 1);
  RecordingDevice(const RecordingDevice&) = delete;
  RecordingDevice& operator=(const RecordingDevice&) = delete;

  // Every line so far, each ended by a newline.
  const std::string& text() const { return text_; }
  void clear() { text_.clear(); }
  void write_line(const std::string& line);

 private:
  OutdevInstall guard_;
  std::string text_;
};

// A number as the recorder writes it: rounded to six decimals, without
// trailing zeros, never "-0".
std::string recording_number(double v);
