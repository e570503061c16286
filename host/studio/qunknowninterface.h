#pragma once

#include <QUuid>

// Identifier every component answers with its root interface.
#define IID_QUnknown                                                                               \
    QUuid(0x3f1c9a52, 0x6e0d, 0x4b8f, 0xa4, 0x17, 0x90, 0x2e, 0x5b, 0xc8, 0x71, 0x3d)

// The component model's root interface: interfaces are asked for by identifier.
class QUnknownInterface
{
public:
    enum Result { Ok = 0, NoInterface = 1 };

    // Stores the interface known as `id` in `iface` (null when unknown) and answers Ok or
    // NoInterface.
    virtual long queryInterface(const QUuid& id, QUnknownInterface** iface) = 0;
    virtual unsigned long addRef() = 0;
    virtual unsigned long release() = 0;

protected:
    ~QUnknownInterface() = default;
};
