#include "app/ApplicationMenuCommands.h"

namespace x47390_menu
{
void ApplicationMenuCommands::importScalaTuning() {}

void ApplicationMenuCommands::importScalaKeyboardMap() {}

void ApplicationMenuCommands::exportScalaTuning() {}
} // namespace x47390_menu
