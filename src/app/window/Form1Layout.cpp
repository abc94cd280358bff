#include "app/window/Form1Layout.h"

#include <cstring>
#include <stdexcept>
#include <string>

namespace kiv {

namespace {

constexpr Form1Layout::Place kPlaces[] = {
    {"Label3", {8, 8, 0, 0}},
    {"Label4", {104, 8, 0, 0}},
    {"CheckBox1", {160, 0, 121, 17}},
    {"RadioButton3", {160, 24, 105, 17}},
    {"RadioButton2", {160, 48, 105, 17}},
    {"RadioButton1", {160, 72, 105, 17}},
    {"Button5", {8, 24, 145, 17}},
    {"Button6", {272, 24, 145, 17}},
    {"Button4", {8, 48, 145, 17}},
    {"Button3", {272, 48, 145, 17}},
    {"Button2", {8, 72, 145, 17}},
    {"Button1", {272, 72, 145, 17}},
    {"Edit1", {8, 96, 145, 21}},
    {"Label1", {160, 96, 0, 0}},
    {"Edit2", {272, 96, 145, 21}},
    {"Label2", {160, 120, 718, 23}},
    {"ListBox1", {432, 8, 441, 105}},
    {"Memo1", {8, 152, 873, 361}},
    {"ProgressBar1", {0, 520, 873, 17}},
    {"ProgressBar2", {0, 544, 873, 17}},
    {"Button7", {8, 568, 145, 17}},
};

}  // namespace

std::span<const Form1Layout::Place> Form1Layout::Places() {
    return kPlaces;
}

QRect Form1Layout::Of(const char* name) {
    for (const Place& place : kPlaces)
        if (std::strcmp(place.name, name) == 0) return place.geometry;
    throw std::logic_error(std::string("no design position for ") + name);
}

}  // namespace kiv
