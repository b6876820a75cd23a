#include "app/program.h"

int main(int argc, char** argv) { return nw::app::runNamewright(argc, argv); }
