#pragma once

// The program's name and version, as the application object and the about box give them.
namespace x47390_application
{
constexpr const char* applicationName = "sonavire Sound Librarian";
constexpr const char* applicationVersion = "1.1.1";
} // namespace x47390_application
