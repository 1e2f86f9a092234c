#include "editor/RunEditor.h"

int main(int argc, char** argv) { return keyloom::RunEditor(argc, argv); }
