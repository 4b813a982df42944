#include "app/selenor.h"

int main(int argc, char** argv) { return SelenorMain(argc, argv); }
