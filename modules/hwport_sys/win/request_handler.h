#pragma once
/* Between the kernel glue (C, with the DDK headers) and the simulation (C++
   without them): the driver's state is opaque memory in the device extension. */

#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

uint32_t hwsim_state_size(void);
void hwsim_state_init(void* memory);
void hwsim_state_destroy(void* state);
/* Returns an NTSTATUS; `written` receives the output bytes. */
uint32_t hwsim_handle(void* state, uint32_t controlCode, const void* input, uint32_t inputBytes, void* output,
                      uint32_t outputBytes, uint32_t nowMs, uint32_t* written);

#ifdef __cplusplus
}
#endif
