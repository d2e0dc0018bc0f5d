/*
 * The board's output latch that drives the codec's reset line (bit 1, active
 * low). A write to the assert register pulls the written bits low, a write to
 * the release register drives them high. On the panel these are uncached
 * addresses; here the address is only decoded, never dereferenced.
 */
#include <asm/io.h>
#include <asm/system.h>

#include <string.h>

#include "sim_internal.h"

static u32 latch;

void sim_board_reset(void)
{
	latch = SIM_RESET_LINE;
	sim_codec_set_reset(0);
}

void writel(u32 value, volatile void __iomem *addr)
{
	unsigned long where = (unsigned long)addr;
	struct sim_event ev;

	memset(&ev, 0, sizeof(ev));
	ev.kind = SIM_EV_IO_WRITE;
	ev.io_addr = where;
	ev.io_value = value;
	ev.io_mapped = 1;
	if (where == SIM_RESET_ASSERT_REG)
		latch &= ~value;
	else if (where == SIM_RESET_RELEASE_REG)
		latch |= value;
	else
		ev.io_mapped = 0;
	sim_record(&ev);
	sim_codec_set_reset(!(latch & SIM_RESET_LINE));
}

u32 readl(const volatile void __iomem *addr)
{
	(void)addr;
	return latch;
}

void sim_write_barrier(void)
{
	struct sim_event ev;

	memset(&ev, 0, sizeof(ev));
	ev.kind = SIM_EV_BARRIER;
	__sync_synchronize();
	sim_record(&ev);
}
