#pragma once

// Every form of the global operator new and delete, for the test programs
// that make allocations fail as when memory runs out. Before each
// allocation the decider, when one is set, is asked whether this one fails
// (`caller` is where the allocation returns to): the throwing forms then
// throw std::bad_alloc, the nothrow forms give null. Memory comes from
// malloc and goes back to free, so no other definition of the pair is
// linked (the sanitizers bring their own, which these take the place of).

namespace replacednew {

using Decider = bool (*)(void* caller);
// Null (the start): no allocation fails. Any thread, at any time.
void set_decider(Decider decider);

}  // namespace replacednew
