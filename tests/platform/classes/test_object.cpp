#include <gtest/gtest.h>

#include <memory>

#include "platform/classes/ClassRegistry.h"
#include "platform/classes/Component.h"
#include "platform/classes/Persistent.h"

namespace {

class TShape : public TPersistent {
    KAROMIL_CLASS(TShape, TPersistent)
public:
    int Width = 0;
    void Assign(TPersistent* source) override {
        if (auto* s = As<TShape>(source)) {
            Width = s->Width;
            return;
        }
        TPersistent::Assign(source);
    }
};
class TCircle : public TShape {
    KAROMIL_CLASS(TCircle, TShape)
};
class TAbstractThing : public TObject {
    KAROMIL_CLASS(TAbstractThing, TObject)
public:
    virtual void Run() = 0;
};
class TOwnedThing : public TComponent {
    KAROMIL_CLASS(TOwnedThing, TComponent)
public:
    using TComponent::TComponent;
};
// Records what liveness and the handle say of a component while it tells us it goes away.
class TWatcher : public TComponent {
    KAROMIL_CLASS(TWatcher, TComponent)
public:
    using TComponent::TComponent;
    int32_t WatchedHandle = 0;
    bool LiveWhenTold = false;
    const TObject* FoundWhenTold = nullptr;
    void Notification(TComponent* component, TOperation operation) override {
        TComponent::Notification(component, operation);
        if (operation != opRemove) return;
        LiveWhenTold = TObject::IsLive(component);
        FoundWhenTold = TObject::FromHandle(WatchedHandle);
    }
};

}  // namespace

KAROMIL_IMPLEMENT_CLASS(TShape, TPersistent)
KAROMIL_IMPLEMENT_CLASS(TCircle, TShape)
KAROMIL_IMPLEMENT_CLASS(TAbstractThing, TObject)
KAROMIL_IMPLEMENT_CLASS(TOwnedThing, TComponent)
KAROMIL_IMPLEMENT_CLASS(TWatcher, TComponent)

// --- handle table ------------------------------------------------------------------------------

TEST(HandleTable, HandleIsStableAndNamesTheObject) {
    TShape a, b;
    const int32_t ha = a.Handle();
    EXPECT_NE(ha, 0);
    EXPECT_EQ(a.Handle(), ha);
    EXPECT_NE(b.Handle(), ha);
    EXPECT_EQ(TObject::FromHandle(ha), &a);
    EXPECT_EQ(TObject::FromHandle(b.Handle()), &b);
}

TEST(HandleTable, ZeroUnknownAndDestroyedAnswerNil) {
    EXPECT_EQ(TObject::FromHandle(0), nullptr);
    EXPECT_EQ(TObject::FromHandle(-7), nullptr);
    EXPECT_EQ(TObject::FromHandle(0x7FFFFFFF), nullptr);
    int32_t h;
    {
        TShape gone;
        h = gone.Handle();
    }
    EXPECT_EQ(TObject::FromHandle(h), nullptr);
    // A later object never inherits the dead id.
    TShape next;
    EXPECT_NE(next.Handle(), h);
    EXPECT_EQ(TObject::FromHandle(h), nullptr);
}

TEST(HandleTable, ComponentHandleIsNilWhileItsOwnerTearsItDown) {
    auto owner = std::make_unique<TComponent>(nullptr);
    auto* child = new TOwnedThing(owner.get());
    const int32_t h = child->Handle();
    ASSERT_EQ(TObject::FromHandle(h), child);
    owner.reset();
    EXPECT_EQ(TObject::FromHandle(h), nullptr);
}

// Liveness is asked of raw pointers an untyped list holds; it never reads through them.
TEST(HandleTable, LivenessKnowsObjectsThatTookAHandle) {
    EXPECT_FALSE(TObject::IsLive(nullptr));
    int notAnObject = 0;
    EXPECT_FALSE(TObject::IsLive(&notAnObject));
    TShape held;
    held.Handle();
    EXPECT_TRUE(TObject::IsLive(&held));
    auto* gone = new TShape;
    gone->Handle();
    const void* goneAddress = gone;
    delete gone;
    EXPECT_FALSE(TObject::IsLive(goneAddress));
    // An object that never travelled to a script is not in the table.
    TShape neverHeld;
    EXPECT_FALSE(TObject::IsLive(&neverHeld));
}

// Its handle is nil already, but the component is still an object its watchers may name.
TEST(HandleTable, ComponentStaysLiveWhileItTellsItsWatchers) {
    TWatcher watcher(nullptr);
    auto* child = new TOwnedThing(nullptr);
    watcher.WatchedHandle = child->Handle();
    child->FreeNotification(&watcher);
    delete child;
    EXPECT_TRUE(watcher.LiveWhenTold);
    EXPECT_EQ(watcher.FoundWhenTold, nullptr);
    EXPECT_FALSE(TObject::IsLive(child));
}

TEST(HandleTable, MetaclassHandlesAreSeparateFromObjects) {
    const int32_t h = TCircle::StaticClass()->Handle();
    EXPECT_NE(h, 0);
    EXPECT_EQ(TMetaClass::FromHandle(h), TCircle::StaticClass());
    EXPECT_EQ(TObject::FromHandle(h), nullptr);
    TShape s;
    EXPECT_EQ(TMetaClass::FromHandle(s.Handle()), nullptr);
}

// --- classes -----------------------------------------------------------------------------------

TEST(MetaClass, NamesAndInheritance) {
    TCircle c;
    EXPECT_EQ(c.ClassName(), "TCircle");
    EXPECT_EQ(c.ClassParent(), TShape::StaticClass());
    EXPECT_EQ(TPersistent::StaticClass()->ClassParent(), TObject::StaticClass());
    EXPECT_EQ(TObject::StaticClass()->ClassParent(), nullptr);
    EXPECT_TRUE(c.InheritsFrom(TPersistent::StaticClass()));
    EXPECT_TRUE(c.InheritsFrom(TCircle::StaticClass()));
    EXPECT_FALSE(TShape::StaticClass()->InheritsFrom(TCircle::StaticClass()));
    EXPECT_TRUE(TCircle::StaticClass()->InheritsFromName("tpersistent"));
    EXPECT_FALSE(TCircle::StaticClass()->InheritsFromName("TComponent"));
    EXPECT_TRUE(Is<TShape>(&c));
    EXPECT_EQ(As<TComponent>(&c), nullptr);
}

TEST(MetaClass, VirtualConstructors) {
    std::unique_ptr<TObject> made(TCircle::StaticClass()->Create());
    EXPECT_EQ(made->ClassType(), TCircle::StaticClass());

    EXPECT_EQ(TAbstractThing::StaticClass()->CreateFunc(), nullptr);
    EXPECT_THROW(TAbstractThing::StaticClass()->Create(), EAbstractError);
    EXPECT_EQ(TShape::StaticClass()->CreateComponentFunc(), nullptr);  // not a component

    TComponent owner(nullptr);
    TComponent* built = TOwnedThing::StaticClass()->CreateComponent(&owner);
    EXPECT_EQ(built->ClassName(), "TOwnedThing");
    EXPECT_EQ(built->GetOwner(), &owner);  // freed by the owner
}

// --- TPersistent -------------------------------------------------------------------------------

TEST(Persistent, AssignCopiesOrRaisesWithBothClassNames) {
    TShape a, b;
    b.Width = 12;
    a.Assign(&b);
    EXPECT_EQ(a.Width, 12);

    TComponent other(nullptr);
    try {
        a.Assign(&other);
        FAIL();
    } catch (const EConvertError& e) {
        EXPECT_STREQ(e.what(), "Cannot assign a TComponent to a TShape");
    }
    try {
        other.Assign(nullptr);
        FAIL();
    } catch (const EConvertError& e) {
        EXPECT_STREQ(e.what(), "Cannot assign a nil to a TComponent");
    }
}

// --- class registry ----------------------------------------------------------------------------

TEST(ClassRegistry, FindsByNameIgnoringCaseWithAncestors) {
    RegisterClasses({TCircle::StaticClass()});
    EXPECT_EQ(GetClass("tcircle"), TCircle::StaticClass());
    EXPECT_EQ(FindClass("TShape"), TShape::StaticClass());  // ancestors come along
    EXPECT_EQ(GetClass("TPersistent"), TPersistent::StaticClass());
    EXPECT_EQ(GetClass("TObject"), nullptr);  // registration stops at TPersistent

    UnRegisterClass(TCircle::StaticClass());
    EXPECT_EQ(GetClass("TCircle"), nullptr);
    try {
        FindClass("TCircle");
        FAIL();
    } catch (const EClassNotFound& e) {
        EXPECT_STREQ(e.what(), "Class TCircle not found");
    }
    RegisterClass(TCircle::StaticClass());  // again: harmless
    RegisterClass(TCircle::StaticClass());
    EXPECT_EQ(GetClass("TCIRCLE"), TCircle::StaticClass());
}

namespace other {
class TCircle : public TPersistent {
    KAROMIL_CLASS(TCircle, TPersistent)
};
KAROMIL_IMPLEMENT_CLASS(TCircle, TPersistent)
}  // namespace other

TEST(ClassRegistry, SecondClassUnderTakenNameIsRefused) {
    RegisterClass(TCircle::StaticClass());
    EXPECT_THROW(RegisterClass(other::TCircle::StaticClass()), EFilerError);
    EXPECT_EQ(GetClass("TCircle"), TCircle::StaticClass());
}
