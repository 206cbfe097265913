#pragma once

// Process-wide display values: label font size and the on-screen colours of
// the three plane kinds (numbers of Qt::GlobalColor). The main window reads
// them from the settings at start, edits them from the status bar and writes
// them at exit; the stereonet drawing and the CAD export read them.
struct DisplayOptions {
    int fontSize = 20;
    int jointColor = 9;     // Qt::blue
    int beddingColor = 11;  // Qt::magenta
    int faultColor = 7;     // Qt::red
};

DisplayOptions& displayOptions();
