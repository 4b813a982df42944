// Selenor: asks for a date of birth and speaks the figures and the profile.
#pragma once

int SelenorMain(int argc, char** argv);
