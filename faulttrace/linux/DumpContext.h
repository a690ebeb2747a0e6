#pragma once
// A thread's registers as the minidump's AMD64 context record: from the
// crashing thread's signal context, or from another thread's registers as
// they were captured at the crash. Crash context.

#include "faulttrace/linux/MinidumpFormat.h"

#include <ucontext.h>

namespace FTR {

struct ThreadRecord;

void fillContext(MdContextAmd64& c, const ucontext_t* uc);
void fillContext(MdContextAmd64& c, const ThreadRecord& t);

} // namespace FTR
