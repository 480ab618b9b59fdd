#include "number_text.h"

int formatPlaces(char* out, long long value, int places) {
    if (places < 0) places = 0;
    if (value < 0) value = 0;
    for (int i = places - 1; i >= 0; --i) {
        out[i] = static_cast<char>('0' + value % 10);
        value /= 10;
    }
    out[places] = '\0';
    return places;
}
