#pragma once

// Mixed into every window whose texts must be read again when the language
// changes. Instances register themselves for their whole lifetime.
class Retranslatable {
public:
    Retranslatable();
    Retranslatable(const Retranslatable&);
    Retranslatable& operator=(const Retranslatable&) = default;
    virtual ~Retranslatable();

    // Called by retranslateAll(): set every user-visible text again through tr().
    virtual void retranslate() = 0;

    // Calls retranslate() on every live instance in the order they were made.
    static void retranslateAll();
};
