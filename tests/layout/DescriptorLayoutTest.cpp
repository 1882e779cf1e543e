#include "plugin/host/PluginDescriptor.h"

#include <gtest/gtest.h>

#include <cstddef>

namespace voltara {
namespace {

struct Field {
    const char* name;
    size_t offset;
    size_t offset32; // in the host's 144-byte record
};

#define FIELD(name, at)                                                                                                \
    {                                                                                                                  \
#name, offsetof(PluginDescriptor, name), at                                                                    \
    }
const Field descriptorFields[] = {
    FIELD(magic, 0),           FIELD(dispatch, 4),      FIELD(processAccumulating, 8),
    FIELD(setParameter, 12),   FIELD(getParameter, 16), FIELD(programCount, 20),
    FIELD(parameterCount, 24), FIELD(inputCount, 28),   FIELD(outputCount, 32),
    FIELD(flags, 36),          FIELD(reserved1, 40),    FIELD(reserved2, 44),
    FIELD(auxWord0, 48),       FIELD(auxWord1, 52),     FIELD(auxWord2, 56),
    FIELD(rateRatio, 60),      FIELD(owner, 64),        FIELD(hostUser, 68),
    FIELD(uniqueId, 72),       FIELD(version, 76),      FIELD(processOverwriting, 80),
    FIELD(reserved3, 84),
};
#undef FIELD

// Where pointers are 32 bits wide the descriptor is exactly the host's
// record; elsewhere only the pointer fields widen and every field keeps its
// place in the order.
TEST(DescriptorLayout, FieldOffsets)
{
    if (sizeof(void*) == 4) {
        EXPECT_EQ(sizeof(PluginDescriptor), 144u);
        for (const Field& field : descriptorFields)
            EXPECT_EQ(field.offset, field.offset32) << field.name;
    } else {
        for (size_t i = 1; i < std::size(descriptorFields); ++i)
            EXPECT_LT(descriptorFields[i - 1].offset, descriptorFields[i].offset) << descriptorFields[i].name;
        EXPECT_EQ(offsetof(PluginDescriptor, rateRatio) - offsetof(PluginDescriptor, programCount), 40u);
    }
}

TEST(DescriptorLayout, HostRecords)
{
    EXPECT_EQ(offsetof(TimeInfo, songPosition), 24u);
    EXPECT_EQ(offsetof(TimeInfo, tempo), 32u);
    EXPECT_EQ(offsetof(OutputInfo, flags), 64u);
    EXPECT_EQ(offsetof(MidiEvent, data), 24u);
    EXPECT_EQ(offsetof(MidiEventList, events), 8u);
    EXPECT_EQ(fourCharCode('K', 'R', 'f', 'x'), 0x4b526678);
}

} // namespace
} // namespace voltara
