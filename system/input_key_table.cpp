// The key table of the keyboard poll: virtual key to device key code.
#include "system/input_internal.h"

// Group 1: letters, digits, arrows, punctuation, the main control keys and the numeric pad.
const VirtualKeyRow kKeyTableGroup1[] = {
    {'A', 30}, {'B', 48}, {'C', 46}, {'D', 32}, {'E', 18}, {'F', 33}, {'G', 34}, {'H', 35},
    {'I', 23}, {'J', 36}, {'K', 37}, {'L', 38}, {'M', 50}, {'N', 49}, {'O', 24}, {'P', 25},
    {'Q', 16}, {'R', 19}, {'S', 31}, {'T', 20}, {'U', 22}, {'V', 47}, {'W', 17}, {'X', 45},
    {'Y', 21}, {'Z', 44},
    {'0', 11}, {'1', 2}, {'2', 3}, {'3', 4}, {'4', 5}, {'5', 6}, {'6', 7}, {'7', 8}, {'8', 9},
    {'9', 10},
    {37, 203}, {38, 200}, {39, 205}, {40, 208},
    {187, 39}, {186, 146}, {219, 26}, {221, 27}, {192, 145}, {226, 43}, {188, 51}, {189, 12},
    {220, 125}, {190, 52}, {191, 53},
    {46, 211}, {27, 1}, {32, 57}, {8, 14}, {9, 15}, {13, 28},
    {96, 82}, {97, 79}, {98, 80}, {99, 81}, {100, 75}, {101, 76}, {102, 77}, {103, 71},
    {104, 72}, {105, 73},
    {106, 55}, {107, 78}, {109, 74}, {110, 83}, {111, 181},
};
const int kKeyTableGroup1Size = static_cast<int>(sizeof(kKeyTableGroup1) / sizeof(kKeyTableGroup1[0]));

// Group 2: keypad Enter, the left and right modifiers, the editing block, the lock keys,
// Pause and the function keys.
const VirtualKeyRow kKeyTableGroup2[] = {
    {13, 156}, {160, 42}, {161, 54}, {162, 29}, {163, 157}, {33, 201}, {34, 209}, {35, 207},
    {36, 199}, {45, 210}, {164, 56}, {165, 184}, {145, 70}, {20, 58}, {19, 197},
    {112, 59}, {113, 60}, {114, 61}, {115, 62}, {116, 63}, {117, 64}, {118, 65}, {119, 66},
    {120, 67}, {121, 68}, {122, 87}, {123, 88},
};
const int kKeyTableGroup2Size = static_cast<int>(sizeof(kKeyTableGroup2) / sizeof(kKeyTableGroup2[0]));
