#ifndef SIM_ASM_IO_H
#define SIM_ASM_IO_H

#include <linux/types.h>

/* Memory-mapped registers: the simulated board decodes the address itself. */
void writel(u32 value, volatile void __iomem *addr);
u32 readl(const volatile void __iomem *addr);

#endif
