#ifndef SIM_ASM_PAGE_H
#define SIM_ASM_PAGE_H

#define PAGE_SHIFT 12
#define PAGE_SIZE (1UL << PAGE_SHIFT)

#endif
