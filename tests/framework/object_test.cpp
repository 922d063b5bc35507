#include <gtest/gtest.h>

#include "framework/object.h"

namespace {

class CSample : public CObject {
    DECLARE_SERIAL(CSample)
};
IMPLEMENT_SERIAL(CSample, CObject, 3)

TEST(ObjectTest, CreatesRegisteredClassByName)
{
    const CRuntimeClass* cls = CRuntimeClass::FromName("CSample");
    ASSERT_NE(cls, nullptr);
    EXPECT_EQ(cls->m_wSchema, 3u);
    CObject* obj = cls->CreateObject();
    ASSERT_NE(obj, nullptr);
    EXPECT_TRUE(obj->IsKindOf(RUNTIME_CLASS(CSample)));
    EXPECT_TRUE(obj->IsKindOf(RUNTIME_CLASS(CObject)));
    delete obj;
    EXPECT_EQ(CRuntimeClass::FromName("CNoSuchClass"), nullptr);
}

}  // namespace
