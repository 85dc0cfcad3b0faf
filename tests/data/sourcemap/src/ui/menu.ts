// Builds the visible menu entries, numbered from one.
export function buildMenu(names: string[]): string[] {
  const entries: string[] = [];
  for (let index = 0; index < names.length; index++) {
    entries.push(`${index + 1}. ${names[index]}`);
  }
  return entries;
}
