// Texts that more than one part of the program shows.
#pragma once

#define SETUP_TEXT_QUIT_QUESTION "Do you really want to quit Setup ?"
#define SETUP_TEXT_GENERAL_ERROR "An error has occurred. The Setup will be cancelled."
