#pragma once

// Starts the application: names, font, main window, event loop.
int runKarven(int argc, char* argv[]);
