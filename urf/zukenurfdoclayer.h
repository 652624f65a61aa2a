#pragma once

#include "urf/zukenurflayer.h"

// A documentation layer; only URF (version 5) files carry them.
class ZukenUrfDocLayer final : public ZukenUrfLayer
{
public:
    using ZukenUrfLayer::ZukenUrfLayer;

    // "doclayer,"{system | cond | ncond}","{name}"".
    void write(QTextStream &out) const override;
};
