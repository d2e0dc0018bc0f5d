/*
 * TI TLV320AIC31 audio codec on the panel's I2C bus: the functions this
 * module exports to other kernel code.
 *
 * Setters take register fields as small integers (only their low 8 bits
 * count) or flags (set when non-zero), pack them into the register byte and
 * write it to page 0. They return 0 or a negative error number. An argument
 * out of range is replaced by a fixed value and reported in the kernel log.
 * Without an attached codec every call fails with -ENODEV.
 */
#ifndef TI_TLV320AIC31_H
#define TI_TLV320AIC31_H

#include <linux/types.h>

/* Register identifier: page in the high byte, register number in the low. */
#define TI_REG(page, num) ((u16)(((page) << 8) | (num)))

struct ti_reg_info {
	u16 reg;
	const char *name;
};

/* Names of the page-0 registers this module knows, ended by reg 0xFFFF. */
extern const struct ti_reg_info ti_info[];

/* Paging and status. ti_change_page returns 0 when the codec is on page
 * afterwards, 1 when it could not be moved there. The status reads return the
 * register bits, or a negative error number converted to unsigned (above 0xFF). */
int ti_change_page(u8 page);
void ti_smbus_read(void);
unsigned int ti_get_mod_power_status(void);
unsigned int ti_get_codec_overflow_status(void);

/* One setter per control register. */
int ti_codec_rate_select(u8 code);				/* 2; 1 if refused */
int ti_pll_program_reg_a(u8 enable, u8 q, u8 p);		/* 3 */
int ti_pll_program_reg_b(u8 j);					/* 4 */
int ti_pll_program_reg_c_and_d(u16 d);				/* 5, 6 */
int ti_set_pll_r(u8 r);						/* 11 */
int ti_codec_datapath(u8 a, u8 b, u8 left, u8 right);		/* 7 */
int ti_serial_data_interface_control_reg_a(u8 a, u8 b, u8 c, u8 d, u8 e);	/* 8 */
int ti_serial_data_interface_control_reg_b(u8 mode, u8 length,
					   u8 f3, u8 f2, u8 f1, u8 f0);	/* 9 */
int ti_serial_data_interface_control_reg_c(u8 offset);		/* 10 */
int ti_digital_filter_ctrl(u8 lhp, u8 rhp, u8 f3, u8 f2, u8 f1, u8 f0);	/* 12 */
int ti_dac_power_and_output_ctrl(u8 a, u8 b, u8 hplcom);	/* 37 */
int ti_dac_output_switching_ctrl(u8 left, u8 right, u8 volume);	/* 41 */
int ti_left_dac_volume_ctrl(u8 mute, u8 level);			/* 43 */
int ti_right_dac_volume_ctrl(u8 mute, u8 level);		/* 44 */
int ti_left_lopm_output_level_ctrl(u8 level, u8 mute, u8 power);	/* 86 */
int ti_right_lopm_output_level_ctrl(u8 level, u8 mute, u8 power);	/* 93 */
int ti_clock_gen_control(u8 a, u8 b);				/* 102 */

/* PLL and rate divisor for one of the table rates; 1 for any other rate. */
int ti_set_sampling_rate(int rate);
/* The panel's fixed configuration. */
int ti_init_zorlan_config(void);
/* Reset pulse, configuration and 16 kHz again; 1 when done. */
int ti_software_reset(void);

#endif
