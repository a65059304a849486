// The product's name, version, build date and notice, as the splash window
// and the about box show them.
#pragma once

constexpr const char* kProductName = "Korvane";
constexpr const char* kProductTitle = "Korvane Drive Setup Software";
constexpr const char* kProductVersion = "2.2.64";
constexpr const char* kProductBuildDate = "Oct 19 2022";
constexpr const char* kProductNotice = "Copyright Quorvex Motion Systems";
constexpr const char* kProfileKey = "Quorvex Korvane";
