#include "text_screen.h"

#include "graph_text.h"

void TextScreen::draw() {
    if (texts_ == nullptr) return;
    for (uint32_t i = 0; i < texts_->size(); ++i) {
        const GraphText& t = texts_->at(i);
        if (!t.isActive()) continue;
        setBrightRGB(t.getR(), t.getG(), t.getB());
        drawText(t.getX(), t.getY(), t.getText(), t.getLength(), t.isLarge());
    }
    setBright(255);
}
