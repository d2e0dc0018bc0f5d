/* What the module did to the world: a log the tests read and --trace prints. */
#include <linux/delay.h>

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include "sim_internal.h"

static struct sim_event *events;
static size_t event_count;
static size_t event_cap;
static unsigned long slept_ms;
static int echo;

void sim_set_echo(int flags)
{
	echo = flags;
}

int sim_echo_flags(void)
{
	return echo;
}

static const char *xfer_name(enum sim_xfer_kind kind)
{
	static const char *const names[] = {
		[SIM_XFER_QUICK] = "quick",
		[SIM_XFER_READ_BYTE] = "read byte",
		[SIM_XFER_WRITE_BYTE] = "write byte",
		[SIM_XFER_READ_BYTE_DATA] = "read byte data",
		[SIM_XFER_WRITE_BYTE_DATA] = "write byte data",
		[SIM_XFER_READ_BLOCK] = "read i2c block",
		[SIM_XFER_OTHER] = "unsupported transfer",
	};

	return (unsigned)kind < sizeof(names) / sizeof(names[0]) ? names[kind] : "?";
}

void sim_event_format(const struct sim_event *ev, char *buf, size_t size)
{
	switch (ev->kind) {
	case SIM_EV_XFER:
		switch (ev->xfer) {
		case SIM_XFER_WRITE_BYTE_DATA:
			snprintf(buf, size, "i2c-0 0x%02x %s reg 0x%02x <- 0x%02x: %d",
				 ev->addr, xfer_name(ev->xfer), ev->reg, ev->value, ev->result);
			break;
		case SIM_XFER_READ_BYTE_DATA:
			if (ev->result < 0)
				snprintf(buf, size, "i2c-0 0x%02x %s reg 0x%02x: %d",
					 ev->addr, xfer_name(ev->xfer), ev->reg, ev->result);
			else
				snprintf(buf, size, "i2c-0 0x%02x %s reg 0x%02x -> 0x%02x",
					 ev->addr, xfer_name(ev->xfer), ev->reg, ev->value);
			break;
		case SIM_XFER_READ_BLOCK:
			snprintf(buf, size, "i2c-0 0x%02x %s reg 0x%02x: %d",
				 ev->addr, xfer_name(ev->xfer), ev->reg, ev->result);
			break;
		default:
			snprintf(buf, size, "i2c-0 0x%02x %s 0x%02x: %d",
				 ev->addr, xfer_name(ev->xfer), ev->value, ev->result);
			break;
		}
		break;
	case SIM_EV_IO_WRITE:
		snprintf(buf, size, "io 0x%08lx <- 0x%x%s", ev->io_addr, ev->io_value,
			 ev->io_mapped ? "" : " (unmapped)");
		break;
	case SIM_EV_BARRIER:
		snprintf(buf, size, "wmb");
		break;
	case SIM_EV_SLEEP:
		snprintf(buf, size, "msleep %u", ev->ms);
		break;
	}
}

void sim_record(const struct sim_event *ev)
{
	if (event_count == event_cap) {
		size_t cap = event_cap ? event_cap * 2 : 256;
		struct sim_event *grown = realloc(events, cap * sizeof(*events));

		if (!grown)
			return;
		events = grown;
		event_cap = cap;
	}
	events[event_count++] = *ev;
	if (echo & SIM_ECHO_TRACE) {
		char line[160];

		sim_event_format(ev, line, sizeof(line));
		fprintf(stderr, "%s\n", line);
		fflush(stderr);
	}
}

size_t sim_event_count(void)
{
	return event_count;
}

const struct sim_event *sim_event_at(size_t index)
{
	return index < event_count ? &events[index] : NULL;
}

void sim_events_clear(void)
{
	event_count = 0;
}

void sim_events_reset(void)
{
	free(events);
	events = NULL;
	event_count = event_cap = 0;
	slept_ms = 0;
}

unsigned long sim_slept_ms(void)
{
	return slept_ms;
}

void msleep(unsigned int msecs)
{
	struct sim_event ev;

	memset(&ev, 0, sizeof(ev));
	ev.kind = SIM_EV_SLEEP;
	ev.ms = msecs;
	slept_ms += msecs;
	sim_record(&ev);
}
